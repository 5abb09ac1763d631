#include "variantformpage.h"

#include "widgets/fieldgroup.h"
#include "widgets/variantlist.h"

#include <QLabel>
#include <QVBoxLayout>

VariantFormPage::VariantFormPage(const VariantFormLayout &layout, Journal &journal, QWidget *parent)
    : CalculatorPage(QString::fromLatin1(layout.pageName), journal, parent)
{
    m_variants = new VariantList(QString::fromLatin1(layout.listName),
                                 QString::fromUtf8(layout.listTitle), layout.items);
    column()->addWidget(m_variants);

    auto *inputRow =
        new FieldGroup(QString::fromLatin1(layout.fieldName) + QStringLiteral("Row"), QString());
    inputRow->setFlat(true);
    m_inputUnit = new QLabel(QString::fromUtf8(layout.unitText));
    m_inputUnit->setObjectName(QString::fromLatin1(layout.unitName));
    m_input = inputRow->addField(QString::fromLatin1(layout.captionName),
                                 QString::fromUtf8(layout.captionText),
                                 new InputField(QString::fromLatin1(layout.fieldName),
                                                QStringLiteral("1"), InputField::KeepOnClick),
                                 m_inputUnit);
    m_inputCaption = inputRow->findChild<QLabel *>(QString::fromLatin1(layout.captionName));
    column()->addWidget(inputRow);

    m_results = new ResultRows(QString::fromLatin1(layout.resultsName),
                               QString::fromUtf8(layout.resultsTitle), layout.rows,
                               QStringLiteral("0,00"), false);
    column()->addWidget(m_results);
    offerCopy(m_results);

    addButtons(QString::fromLatin1(layout.clearName), QString::fromLatin1(layout.computeName));
}

QString VariantFormPage::inputCaption() const
{
    return m_inputCaption->text();
}

QString VariantFormPage::inputUnit() const
{
    return m_inputUnit->text();
}

void VariantFormPage::setExplanations(const QList<QStringList> &byVariant)
{
    m_explanations = byVariant;
    explainFigures(-1);
}

void VariantFormPage::explainFigures(int variant)
{
    m_results->setExplanations(m_explanations.at(variant + 1));
}
