#pragma once

#include <QPushButton>
#include <QString>

// A push button of the bill's windows: named for tests, and never taking Enter from a table or
// a field as the default button would.
inline QPushButton *billButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}
