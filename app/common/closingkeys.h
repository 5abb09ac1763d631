#pragma once

class QWidget;

// Lets the keys that close a document window close this one: Ctrl+W as on every desktop,
// besides what the platform binds to closing.
void addClosingKeys(QWidget *window);
