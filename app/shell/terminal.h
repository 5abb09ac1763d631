#pragma once

// Lets the program answer on the terminal it was started from. On Windows it is built as a
// windowed program, which has no console of its own: its output reaches the console of the
// command prompt only once attached to it. Output sent to a file or a pipe needs nothing.
void attachToTerminal();
