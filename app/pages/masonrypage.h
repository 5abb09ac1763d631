#pragma once

#include "calculatorpage.h"
#include "masonry.h"

class InputField;
class ResultRows;

// Brick masonry: the wall and its openings are typed; the window sets the thickness and the kind
// of masonry whose rates apply from the selected catalogue node.
class MasonryPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit MasonryPage(Journal &journal, QWidget *parent = nullptr);

    void setThicknessText(const QString &text);
    // -1 when no masonry node is selected: the volume is still worked out, the materials are 0.
    void setMasonryKind(int kind);

    void BitBtn9Click();
    void BitBtn8Click();

private:
    void keepMasonryVolume(const calc::MasonryInput &input, std::optional<int> kind,
                           double volumeM3);
    int m_kind = -1;
    QList<QStringList> m_explanations; // by masonry kind, none first
    QList<InputField *> m_typedFields; // Edit1, Edit2, Edit4, Edit5, Edit6, Edit7
    InputField *m_thickness;
    ResultRows *m_results;
};
