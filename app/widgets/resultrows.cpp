#include "resultrows.h"

#include <QGridLayout>

ResultRows::ResultRows(const QString &name, const QString &title,
                       const QList<ResultRowLabels> &rows, const QString &initialValue,
                       bool valuesVisible, QWidget *parent)
    : QGroupBox(title, parent), m_layout(new QGridLayout(this))
{
    setObjectName(name);
    m_layout->setContentsMargins(8, 4, 8, 6);
    m_layout->setVerticalSpacing(4);
    m_layout->setColumnStretch(0, 1);
    for (const ResultRowLabels &entry : rows) {
        auto *caption = new QLabel(QString::fromUtf8(entry.captionText), this);
        caption->setObjectName(QString::fromLatin1(entry.captionName));
        auto *value = new QLabel(initialValue, this);
        value->setObjectName(QString::fromLatin1(entry.valueName));
        value->setMinimumWidth(60);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setVisible(valuesVisible);
        // A screen reader says the value (the label's text) and then the material it measures.
        value->setAccessibleDescription(caption->text());
        // A hidden value keeps its place, so the captions do not move when values appear.
        QSizePolicy policy = value->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        value->setSizePolicy(policy);
        const int line = m_layout->rowCount();
        m_layout->addWidget(caption, line, 0);
        m_layout->addWidget(value, line, 1);
        m_rows.append(ResultRow{caption, value});
    }
}

void ResultRows::insertNote(int beforeRow, QLabel *note)
{
    int line = 0, column = 0, rowSpan = 0, columnSpan = 0;
    m_layout->getItemPosition(m_layout->indexOf(m_rows[beforeRow].caption), &line, &column,
                              &rowSpan, &columnSpan);
    // Move this row and the later ones down by one grid line, from the last upwards.
    for (int i = count() - 1; i >= beforeRow; --i) {
        const int target = line + 1 + (i - beforeRow);
        m_layout->removeWidget(m_rows[i].caption);
        m_layout->removeWidget(m_rows[i].value);
        m_layout->addWidget(m_rows[i].caption, target, 0);
        m_layout->addWidget(m_rows[i].value, target, 1);
    }
    note->setParent(this);
    m_layout->addWidget(note, line, 0, 1, 2);
}

QStringList ResultRows::captions() const
{
    QStringList texts;
    for (const ResultRow &row : m_rows)
        texts.append(row.caption->text());
    return texts;
}

void ResultRows::setExplanations(const QStringList &texts)
{
    for (int i = 0; i < count(); ++i) {
        m_rows[i].caption->setToolTip(texts.value(i));
        m_rows[i].value->setToolTip(texts.value(i));
    }
}
