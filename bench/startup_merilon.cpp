// Starts the program as its own main() does and exits after the first paint of the main window.

#include "firstpaint.h"
#include "shell/appsetup.h"
#include "shell/tform1.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication();
    TForm1 window;
    FirstPaintExit exitAfterPaint(&window);
    window.show();
    return QApplication::exec();
}
