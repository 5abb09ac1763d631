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
