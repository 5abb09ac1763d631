#pragma once

#include "calculatorpage.h"

class InputField;
class QLabel;
class ResultRows;
class VariantList;

// Wooden gates: the gate area in hundreds of square metres and one of eight kinds of work give
// seven materials.
class GatesPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit GatesPage(Journal &journal, QWidget *parent = nullptr);

    void Button5Click();
    void Button6Click();
    void RadioGroup6Click(int index);

private:
    void explainFigures(int work);

    QList<QStringList> m_explanations; // by kind of work, none first
    VariantList *m_works;
    QLabel *m_areaCaption;
    InputField *m_area;
    QLabel *m_areaUnit;
    ResultRows *m_results;
};
