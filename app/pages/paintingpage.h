#pragma once

#include "calculatorpage.h"

class InputField;
class QLabel;
class ResultRows;
class VariantList;

// Surface painting with red iron oxide: the painted area, the priming and the paint materials
// for one coat or two.
class PaintingPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit PaintingPage(Journal &journal, QWidget *parent = nullptr);

    void compute();
    void clear();

private:
    InputField *m_firstSide;
    InputField *m_secondSide;
    QLabel *m_area;
    VariantList *m_coats;
    ResultRows *m_priming;
    ResultRows *m_paint;
};
