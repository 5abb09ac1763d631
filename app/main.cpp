#include "shell/appsetup.h"
#include "shell/tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication();
    TForm1 window;
    window.show();
    return QApplication::exec();
}
