#include "bill/billcontrol.h"
#include "shell/appsetup.h"
#include "shell/tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // --help, --version, --import-norms and --import-prices answer on the terminal, before anything
    // needs a display.
    if (const std::optional<int> answered = answerCommandLine(argc, argv, MERILON_VERSION))
        return *answered;
    QApplication app(argc, argv);
    setUpApplication();
    // A bill of quantities names the program and its version.
    QCoreApplication::setApplicationVersion(QString::fromLatin1(MERILON_VERSION));
    TForm1 window;
    window.show();
    // A file given to the program, by the desktop or on the command line, opens in the bill
    // window; Qt has taken its own options out of the arguments by now.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (!argument.startsWith(u'-')) {
            window.bill().openFile(argument);
            break;
        }
    }
    return QApplication::exec();
}
