#pragma once

#include <QString>

namespace calc {

// A failure inside a page operation. It ends the running operation and reaches the error report
// with its message; whatever the operation had already changed stays as it is.
class CalcError
{
public:
    explicit CalcError(QString message) : m_message(std::move(message)) {}

    static CalcError conversion(const QString &text)
    {
        return CalcError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
    static CalcError overflow() { return CalcError(QStringLiteral("Floating point overflow")); }

    const QString &message() const { return m_message; }

private:
    QString m_message;
};

} // namespace calc
