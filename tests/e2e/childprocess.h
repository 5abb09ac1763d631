#pragma once

class QProcess;

// A child of the test ends with it, even when the test itself is killed on a time-out.
void endWithParent(QProcess &process);

// Asks a running child to end, and makes it end when it does not.
void stopChild(QProcess &process);
