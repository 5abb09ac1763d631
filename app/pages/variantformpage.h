#pragma once

#include "calculatorpage.h"
#include "widgets/resultrows.h"

class InputField;
class QLabel;
class VariantList;

// The shape shared by the pages that multiply one typed quantity by the rates of a chosen
// kind of work: a variant list, one input row with its unit, a group of result rows, and the
// clear and compute buttons. The pages differ only in their data and their journal texts.
struct VariantFormLayout
{
    const char *pageName;
    const char *listName;
    const char *listTitle;
    QStringList items;
    const char *captionName;
    const char *captionText;
    const char *fieldName;
    const char *unitName;
    const char *unitText;
    const char *resultsName;
    const char *resultsTitle;
    QList<ResultRowLabels> rows;
    const char *clearName;
    const char *computeName;
};

class VariantFormPage : public CalculatorPage
{
    Q_OBJECT

protected:
    VariantFormPage(const VariantFormLayout &layout, Journal &journal, QWidget *parent);

    VariantList *variants() const { return m_variants; }
    InputField *input() const { return m_input; }
    ResultRows *results() const { return m_results; }
    QString inputCaption() const;
    QString inputUnit() const;

    // The explanations of the figures by variant, none first; shown for the chosen variant.
    void setExplanations(const QList<QStringList> &byVariant);
    void explainFigures(int variant);

private:
    VariantList *m_variants;
    QLabel *m_inputCaption;
    InputField *m_input;
    QLabel *m_inputUnit;
    ResultRows *m_results;
    QList<QStringList> m_explanations;
};
