#pragma once

#include "extended.h"
#include "regional.h"

#include <QString>

namespace calc {

// Reads text as a number: optional blanks (code 32 only), an optional sign, digits with at most
// one separator, an optional exponent, blanks. Throws CalcError::conversion(text) on anything
// else, the empty text included, and on a value beyond the extended range; a value too small for
// it reads as zero or a subnormal value. The exponent takes digits only while it is below 500.
Extended readInputNumber(const QString &text, QChar separator);

// A field's text, read as a number only when a computation asks for it, so that the
// computation decides the order of the reads and therefore which failure comes first.
class InputNumber
{
public:
    InputNumber(QString text, QChar separator = decimalSeparator())
        : m_text(std::move(text)), m_separator(separator)
    {
    }

    Extended value() const { return readInputNumber(m_text, m_separator); }
    const QString &text() const { return m_text; }

private:
    QString m_text;
    QChar m_separator;
};

} // namespace calc
