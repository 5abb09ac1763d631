#pragma once

class QWidget;

// Has a screen reader present a top-level QWidget as a window: Qt gives a plain QWidget the
// role of a client area (a «filler» to AT-SPI) even when it is a window of its own. Called first
// in the window's constructor, before anything asks for its accessible object.
void presentAsWindow(QWidget *window);
