#pragma once

#include <optional>

// What the program sets up before its window: the application name that titles every error box,
// the window font, the style touches and Qt's own Russian texts. Tests set up the same way.
void setUpApplication();

// Answers --help and --version, and imports norm files for --import-norms, on the terminal without
// a window; returns the exit code then, and nothing when the program is to start as usual.
std::optional<int> answerCommandLine(int argc, char *argv[], const char *version);
