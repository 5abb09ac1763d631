#include "shell/appsetup.h"
#include "shell/tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // --help, --version and --import-norms answer on the terminal, before anything needs a
    // display.
    if (const std::optional<int> answered = answerCommandLine(argc, argv, MERILON_VERSION))
        return *answered;
    QApplication app(argc, argv);
    setUpApplication();
    TForm1 window;
    window.show();
    return QApplication::exec();
}
