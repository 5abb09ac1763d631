// Writes a norm base file from the sample recipe, for trying the import by hand:
//   merilon_write_normsample FILE [NORMS]   (45 000 norms, the full size, when NORMS is left out)
#include "normsample.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fputs("usage: merilon_write_normsample FILE [NORMS]\n", stderr);
        return 2;
    }
    normsample::BaseShape shape;
    if (arguments.size() > 2)
        shape.norms = arguments[2].toInt();
    QFile file(arguments[1]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fputs("cannot write the file\n", stderr);
        return 1;
    }
    normsample::writeBase(file, shape);
    return file.error() == QFile::NoError ? 0 : 1;
}
