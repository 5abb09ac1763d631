#include "closingkeys.h"

#include <QAction>
#include <QWidget>

void addClosingKeys(QWidget *window)
{
    auto *closing = new QAction(QStringLiteral("Закрыть"), window);
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Close);
    if (!keys.contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
        keys.prepend(QKeySequence(Qt::CTRL | Qt::Key_W));
    closing->setShortcuts(keys);
    QObject::connect(closing, &QAction::triggered, window, &QWidget::close);
    window->addAction(closing);
}

void addQuittingKey(QWidget *window, QWidget *mainWindow)
{
    auto *quitting = new QAction(QStringLiteral("Выход из программы"), window);
    quitting->setObjectName(QStringLiteral("QuitProgram"));
    quitting->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quitting->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(quitting, &QAction::triggered, mainWindow, &QWidget::close);
    window->addAction(quitting);
}
