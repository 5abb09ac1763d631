#pragma once

// What the program sets up before its window: the application name that titles every error box,
// the window font and Qt's Russian texts. Tests set up the same way.
void setUpApplication();
