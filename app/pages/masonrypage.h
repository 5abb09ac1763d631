#pragma once

#include "calculatorpage.h"

class Catalogue;
class InputField;
class ResultRows;

// Brick masonry: the wall and its openings are typed, the thickness comes from the catalogue
// and the rates follow the selected masonry node.
class MasonryPage : public CalculatorPage
{
    Q_OBJECT

public:
    MasonryPage(Journal &journal, const Catalogue &catalogue, QWidget *parent = nullptr);

    void setThicknessText(const QString &text);

    void BitBtn9Click();
    void BitBtn8Click();

private:
    int selectedKind() const;
    void explainFigures();

    const Catalogue &m_catalogue;
    QList<QStringList> m_explanations; // by masonry kind, none first
    QList<InputField *> m_typedFields; // Edit1, Edit2, Edit4, Edit5, Edit6, Edit7
    InputField *m_thickness;
    ResultRows *m_results;
};
