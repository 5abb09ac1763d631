#pragma once

class QWidget;

// Lets the keys that close a document window close this one: Ctrl+W as on every desktop,
// besides what the platform binds to closing.
void addClosingKeys(QWidget *window);

// Lets Ctrl+Q in a window of the program's quit the program as the main window's «Выход» does,
// with its questions.
void addQuittingKey(QWidget *window, QWidget *mainWindow);
