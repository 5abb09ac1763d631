#pragma once

#include "calculatorpage.h"

class InputField;
class ResultRows;
class VariantList;

// Grass seeding: the plot and the way of sowing give the list of materials.
class GrassPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit GrassPage(Journal &journal, QWidget *parent = nullptr);

    void BitBtn4Click();
    void BitBtn3Click();

private:
    QList<QStringList> m_explanations; // by choice, none first
    void explainFigures(int way);

    InputField *m_length;
    InputField *m_width;
    VariantList *m_ways;
    ResultRows *m_results;
};
