#pragma once

#include "calculatorpage.h"

class InputField;
class QLabel;
class ResultRows;
class VariantList;

namespace calc {
struct FoundationInput;
struct FoundationMaterials;
} // namespace calc

// Column foundations: the volume on request, and the materials of the chosen size class.
class FoundationPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit FoundationPage(Journal &journal, QWidget *parent = nullptr);

    void Label36Click();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    calc::FoundationInput input() const;
    void showFigures(const calc::FoundationMaterials &materials);
    QList<QStringList> m_explanations; // by choice, none first
    void explainFigures(int sizeClass);

    InputField *m_length;
    InputField *m_width;
    InputField *m_height;
    QLabel *m_volume;
    VariantList *m_sizeClasses;
    ResultRows *m_results;
};
