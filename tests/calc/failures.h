#pragma once

#include "calcerror.h"

#include <QString>

#include <functional>

// What the computation tests expect a failing computation to end with, written out here rather
// than taken from the code under test.
namespace failures {

inline const QString overflow = QStringLiteral("Floating point overflow");

inline QString notANumber(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

// The message of the failure an operation ends with; empty when it ends normally.
inline QString of(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const calc::CalcError &error) {
        return error.message();
    }
    return QString();
}

} // namespace failures
