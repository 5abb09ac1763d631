#pragma once

#include "calculatorpage.h"
#include "grass.h"

class InputField;
class NormBase;
class ResultRows;
class RowNorms;
class VariantList;

// Grass seeding: the plot and the way of sowing give the list of materials.
class GrassPage : public CalculatorPage
{
    Q_OBJECT

public:
    GrassPage(Journal &journal, NormBase *normBase, QWidget *parent = nullptr);

    void BitBtn4Click();
    void BitBtn3Click();

private:
    // The published rates with those of the rows' chosen norms over them.
    calc::GrassRateTable rates() const;
    void explainFigures(int way);
    void keepGrassVolume(const calc::GrassInput &typed, double areaM2,
                         const calc::GrassWayRates &perM2);

    InputField *m_length;
    InputField *m_width;
    VariantList *m_ways;
    ResultRows *m_results;
    RowNorms *m_norms;
};
