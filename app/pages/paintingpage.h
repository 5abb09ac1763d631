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

protected:
    QList<std::pair<QString, QString>> shownResults() const override;

private:
    void explainFigures(int coats);

    QLabel *m_areaCaption;
    QList<QStringList> m_explanations; // by number of coats
    void keepPaintingVolume(double areaM2, int coats);

    InputField *m_firstSide;
    InputField *m_secondSide;
    QLabel *m_area;
    VariantList *m_coats;
    ResultRows *m_priming;
    ResultRows *m_paint;
};
