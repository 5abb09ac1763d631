#pragma once

class QAbstractButton;
class QAction;
class QUndoStack;
class QWidget;

// Undo and redo as the undo stack's own actions, which keep their texts and enabled state in step
// with it; buttons only follow them, so a window wires its undo one way.
namespace undoactions {

struct Actions
{
    QAction *undo;
    QAction *redo;
};

// The actions with the program's keys (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y), working anywhere in
// window. Each one's tip names the step it takes, and only when there is one.
Actions add(QUndoStack *stack, QWidget *window);

// The button triggers the action, and is enabled and tipped as it is.
void follow(QAbstractButton *button, QAction *action);

} // namespace undoactions
