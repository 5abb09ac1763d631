#pragma once

#include "calculatorpage.h"

class InputField;
class QLabel;
class VariantList;

// Paving tiles: the number of tiles of one of ten shapes for a rectangular area. A shape is
// picked from the list or by its picture.
class TilesPage : public CalculatorPage
{
    Q_OBJECT

public:
    explicit TilesPage(Journal &journal, QWidget *parent = nullptr);

    void Button3Click();
    void Button4Click();
    void RadioGroup5Click(int index);

protected:
    QList<std::pair<QString, QString>> shownResults() const override;

private:
    QWidget *createPictures();
    void explainFigure(int type);

    QStringList m_explanations; // by tile type, none first

    VariantList *m_types;
    InputField *m_length;
    InputField *m_width;
    QLabel *m_result;
};
