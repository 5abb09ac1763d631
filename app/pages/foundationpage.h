#pragma once

#include "calculatorpage.h"
#include "foundation.h"

class InputField;
class NormBase;
class QLabel;
class ResultRows;
class RowNorms;
class VariantList;

// Column foundations: the volume on request, and the materials of the chosen size class.
class FoundationPage : public CalculatorPage
{
    Q_OBJECT

public:
    FoundationPage(Journal &journal, NormBase *normBase, QWidget *parent = nullptr);

    void Label36Click();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    calc::FoundationInput input() const;
    // The published rates with those of the rows' chosen norms over them.
    calc::FoundationRateTable rates() const;
    void showFigures(const calc::FoundationMaterials &materials);
    void explainFigures(int sizeClass);
    void keepFoundationVolume(double volumeM3, int sizeClass,
                              const calc::FoundationRateTable &table);

    InputField *m_length;
    InputField *m_width;
    InputField *m_height;
    QLabel *m_volume;
    VariantList *m_sizeClasses;
    ResultRows *m_results;
    RowNorms *m_norms;
};
