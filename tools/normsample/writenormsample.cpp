// Writes a norm base file from the sample recipe, for trying the import by hand:
//   merilon_write_normsample FILE [NORMS]   (45 000 norms, the full size, when NORMS is left out)
//   merilon_write_normsample --catalogue FILE [MATERIALS]   (a materials' price catalogue,
//   150 000 more materials when MATERIALS is left out)
#include "normsample.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    const bool catalogue = arguments.size() > 1 && arguments[1] == u"--catalogue";
    if (catalogue)
        arguments.removeAt(1);
    if (arguments.size() < 2) {
        std::fputs("usage: merilon_write_normsample [--catalogue] FILE [COUNT]\n", stderr);
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
    if (catalogue)
        normsample::writeCatalogue(file, arguments.size() > 2 ? arguments[2].toInt() : 150000);
    else
        normsample::writeBase(file, shape);
    return file.error() == QFile::NoError ? 0 : 1;
}
