#include "undoactions.h"

#include <QAbstractButton>
#include <QAction>
#include <QUndoStack>

namespace undoactions {

namespace {

void tip(QAction *action, const QString &what, const QString &step)
{
    action->setToolTip(
        what + (step.isEmpty() ? QString() : QStringLiteral(": ") + step) +
        QStringLiteral(" (%1)").arg(action->shortcut().toString(QKeySequence::NativeText)));
}

} // namespace

Actions add(QUndoStack *stack, QWidget *window)
{
    const QString undoText = QStringLiteral("Отменить");
    const QString redoText = QStringLiteral("Повторить");
    QAction *undo = stack->createUndoAction(window, undoText);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = stack->createRedoAction(window, redoText);
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    tip(undo, undoText, stack->undoText());
    tip(redo, redoText, stack->redoText());
    QObject::connect(stack, &QUndoStack::undoTextChanged, undo,
                     [undo, undoText](const QString &step) { tip(undo, undoText, step); });
    QObject::connect(stack, &QUndoStack::redoTextChanged, redo,
                     [redo, redoText](const QString &step) { tip(redo, redoText, step); });
    window->addAction(undo);
    window->addAction(redo);
    return {undo, redo};
}

void follow(QAbstractButton *button, QAction *action)
{
    const auto show = [button, action] {
        button->setEnabled(action->isEnabled());
        button->setToolTip(action->toolTip());
    };
    show();
    QObject::connect(action, &QAction::changed, button, show);
    QObject::connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
}

} // namespace undoactions
