// The yardstick for start-up: a bare main window with one label, ended after its first paint.

#include "firstpaint.h"

#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Мерилон 3"), &window));
    window.resize(650, 700);
    FirstPaintExit exitAfterPaint(&window);
    window.show();
    return QApplication::exec();
}
