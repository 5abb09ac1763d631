#pragma once

#include "calculatorpage.h"

class InputField;
class QLabel;
class ResultRows;
class VariantList;

// Floor underlay layers: the volume of the layer and one of ten kinds give up to three of the
// twelve material rows. Choosing a kind logs it and wipes the shown results.
class UnderlayPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit UnderlayPage(Journal &journal, QWidget *parent = nullptr);

    void Button1Click();
    void Button2Click();
    void RadioGroup4Click(int index);

private:
    void wipeValues();
    void explainFigures(int kind);

    QList<QStringList> m_explanations; // by kind, none first

    VariantList *m_kinds;
    InputField *m_volume;
    QLabel *m_volumeCaption;
    QLabel *m_volumeUnit;
    ResultRows *m_results;
};
