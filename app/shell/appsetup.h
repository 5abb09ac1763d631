#pragma once

// What the program sets up before its window: the application name that titles every error box
// and the window font. Tests set up the same way.
void setUpApplication();
