#include "normimportbench.h"

#include "normsample.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace normimportbench {

QString fullSizeBase(const QString &folder)
{
    const QString path = folder + QStringLiteral("/ГЭСН.xml");
    if (QFile::exists(path))
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    normsample::writeBase(file, normsample::BaseShape{});
    return path;
}

QString fullSizeCatalogue(const QString &folder)
{
    const QString path = folder + QStringLiteral("/ФСБЦ_Мат&Оборуд.xml");
    if (QFile::exists(path))
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    normsample::writeCatalogue(file, 150000);
    return path;
}

double bareReadMilliseconds(const QStringList &files)
{
    double milliseconds = 0;
    for (const QString &file : files) {
        QFile device(file);
        if (!device.open(QIODevice::ReadOnly))
            return -1;
        QElapsedTimer timer;
        timer.start();
        QXmlStreamReader xml(&device);
        // Summed so that the reading cannot be left out.
        qint64 characters = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            characters += xml.name().size() + xml.text().size();
            if (xml.isStartElement())
                for (const QXmlStreamAttribute &attribute : xml.attributes())
                    characters += attribute.value().size();
        }
        if (xml.hasError() || characters == 0)
            return -1;
        milliseconds += double(timer.nsecsElapsed()) / 1e6;
    }
    return milliseconds;
}

ImportRun importWithProgram(const QString &program, const QString &folder, const QStringList &files,
                            const QString &option)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    const bool timed = QFile::exists(QStringLiteral("/usr/bin/time"));
    QElapsedTimer timer;
    timer.start();
    if (timed)
        process.start(
            QStringLiteral("/usr/bin/time"),
            QStringList{QStringLiteral("-f"), QStringLiteral("maxrss_kib %M"), program, option} +
                files);
    else
        process.start(program, QStringList{option} + files);
    ImportRun run;
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        run.output = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    run.milliseconds = double(timer.nsecsElapsed()) / 1e6;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch peak =
        QRegularExpression(QStringLiteral("maxrss_kib (\\d+)"))
            .match(QString::fromUtf8(process.readAllStandardError()));
    if (peak.hasMatch())
        run.peakKib = peak.captured(1).toLongLong();
    return run;
}

} // namespace normimportbench
