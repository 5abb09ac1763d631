#pragma once

class QWidget;

// What is still being typed when a command comes by a key, with the focus where it was. A
// window takes it before it saves, writes, closes or replaces what it shows, so that the
// command works on what the user sees.
namespace pendingedits {

// Puts the text of every cell editor open under root into its model and closes the editor, as
// leaving the cell would.
void commitCellEditors(QWidget *root);

} // namespace pendingedits
