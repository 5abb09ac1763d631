#pragma once

#include "inputfield.h"

#include <QGroupBox>

class QGridLayout;
class QLabel;

// A group box of input rows: a caption label on the left, its field on the right, and an
// optional unit label after the field; bold headings may stand between the rows.
class FieldGroup : public QGroupBox
{
    Q_OBJECT

public:
    FieldGroup(const QString &name, const QString &title, QWidget *parent = nullptr);

    QLabel *addHeading(const QString &name, const QString &text);
    InputField *addField(const QString &captionName, const QString &captionText, InputField *field,
                         QLabel *unit = nullptr);
    // A caption with a value label (and an optional third label) instead of a field.
    void addValueRow(QLabel *caption, QLabel *value, QLabel *after = nullptr);

private:
    QGridLayout *m_layout;
};
