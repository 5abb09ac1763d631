#pragma once

#include <QFrame>
#include <QLabel>
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

// The caption of a part of the bill's window, on the line of its buttons or sums rather than as
// a box's title above them: on a small screen every line of the tables counts.
inline QLabel *billCaption(const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    QFont bold = result->font();
    bold.setBold(true);
    result->setFont(bold);
    return result;
}

// A part of the bill's window: a frame with little room around what it holds.
inline QFrame *billBox(QWidget *parent)
{
    auto *result = new QFrame(parent);
    result->setFrameShape(QFrame::StyledPanel);
    return result;
}
