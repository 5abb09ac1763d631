#include "appsetup.h"

#include "terminal.h"
#include "windowstyle.h"

#include "normdb.h"
#include "normimportcommand.h"
#include "priceimport.h"

#include "bill/vorcommand.h"
#include "estimate/estimatecommand.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QLibraryInfo>
#include <QPointer>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

namespace {

// The program speaks Russian whatever the desktop's language, so Qt's own texts (context
// menus, file and print dialogs) are taken in Russian too.
void installQtTranslation()
{
    // Owned by the application object, so a later application object installs its own.
    static QPointer<QTranslator> translator;
    if (translator)
        return;
    // From Qt's translations, or from translations/ beside the program where it ships its own
    // (Windows).
    translator = new QTranslator(QCoreApplication::instance());
    const QString name = QStringLiteral("qtbase_ru");
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator->load(name,
                         QCoreApplication::applicationDirPath() + QStringLiteral("/translations")))
        QCoreApplication::installTranslator(translator);
}

} // namespace

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Merilon"));
    // The window is laid out in 8-point Arial (metric-compatible Liberation Sans on Linux).
    QApplication::setFont(QFont(QStringLiteral("Arial"), 8));
    installQtTranslation();
    WindowStyle::install();
}

std::optional<int> answerCommandLine(int argc, char *argv[], const char *version)
{
    // A plain start, the usual case, pays for nothing here.
    if (argc < 2)
        return std::nullopt;
    // Qt's own options, such as -platform, are the window's business and are left to it.
    attachToTerminal();
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Merilon"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version));
    installQtTranslation();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Мерилон 3 — расчет расхода строительных "
                                                    "материалов."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption importNorms(
        QStringLiteral("import-norms"),
        QStringLiteral("Загрузить файлы XML федеральной базы норм или файл фирменных норм в базу "
                       "норм %1 и выйти.")
            .arg(norms::defaultDatabasePath()));
    parser.addOption(importNorms);
    const QCommandLineOption importPrices(
        QStringLiteral("import-prices"),
        QStringLiteral("Загрузить сметные цены региона (сплит-форму, .xlsx или CSV) в базу норм "
                       "%1 и выйти.")
            .arg(norms::defaultDatabasePath()));
    parser.addOption(importPrices);
    const QCommandLineOption exportVor(
        QStringLiteral("export-vor"),
        QStringLiteral("Записать ведомость ВЕДОМОСТЬ.merilon-bom как ведомость объемов работ для "
                       "экспертизы ВОР.gge и выйти."));
    parser.addOption(exportVor);
    const QCommandLineOption importVor(
        QStringLiteral("import-vor"),
        QStringLiteral("Прочитать ведомость объемов работ ВОР.gge в ведомость "
                       "ВЕДОМОСТЬ.merilon-bom и выйти."));
    parser.addOption(importVor);
    const QCommandLineOption exportLsr(
        QStringLiteral("export-lsr"),
        QStringLiteral("Рассчитать локальный сметный расчет ведомости ВЕДОМОСТЬ.merilon-bom по "
                       "базе норм %1, записать его для экспертизы в ЛСР.gge и выйти.")
            .arg(norms::defaultDatabasePath()));
    parser.addOption(exportLsr);
    parser.addPositionalArgument(
        QStringLiteral("файлы"),
        QStringLiteral(
            "Ведомость (.merilon-bom) или ведомость объемов работ (.gge), чтобы открыть "
            "ее в окне ведомости; файлы или папки базы норм для --import-norms; файлы "
            "сплит-формы для --import-prices; ВЕДОМОСТЬ "
            "ВОР.gge для --export-vor; ВОР.gge ВЕДОМОСТЬ для --import-vor; ВЕДОМОСТЬ ЛСР.gge для "
            "--export-lsr."),
        QStringLiteral("[файл | --import-norms файлы или папки... | --import-prices файлы... | "
                       "--export-vor ВЕДОМОСТЬ ВОР.gge | "
                       "--import-vor ВОР.gge ВЕДОМОСТЬ | --export-lsr ВЕДОМОСТЬ ЛСР.gge]"));
    // Options of two dashes are the program's; one dash may be Qt's own, such as -platform.
    const QStringList known{QStringLiteral("help"),          QStringLiteral("help-all"),
                            QStringLiteral("version"),       QStringLiteral("import-norms"),
                            QStringLiteral("import-prices"), QStringLiteral("export-vor"),
                            QStringLiteral("import-vor"),    QStringLiteral("export-lsr")};
    const auto usage = [&parser] {
        QTextStream(stderr) << parser.helpText();
        return 2;
    };
    for (const QString &argument : QCoreApplication::arguments().mid(1)) {
        if (argument.startsWith(QStringLiteral("--")) &&
            !known.contains(argument.mid(2).section(u'=', 0, 0)))
            return usage();
    }
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")) ||
        parser.isSet(versionOption)) {
        // Prints the answer, or what is wrong with the other options, and ends the program.
        parser.process(QCoreApplication::arguments());
        return 0;
    }
    if (parser.isSet(importNorms)) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return norms::runImportCommand(parser.positionalArguments(), norms::defaultDatabasePath(),
                                       out, err);
    }
    if (parser.isSet(importPrices)) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return norms::runPriceImportCommand(parser.positionalArguments(),
                                            norms::defaultDatabasePath(), out, err);
    }
    if (parser.isSet(exportLsr)) {
        const QStringList files = parser.positionalArguments();
        if (files.size() != 2 || parser.isSet(exportVor) || parser.isSet(importVor))
            return usage();
        QTextStream out(stdout);
        QTextStream err(stderr);
        return estimatecommand::exportLsr(files.at(0), files.at(1), norms::defaultDatabasePath(),
                                          QString::fromLatin1(version), out, err);
    }
    if (parser.isSet(exportVor) || parser.isSet(importVor)) {
        const QStringList files = parser.positionalArguments();
        if (files.size() != 2 || (parser.isSet(exportVor) && parser.isSet(importVor)))
            return usage();
        QTextStream out(stdout);
        QTextStream err(stderr);
        return parser.isSet(exportVor)
                   ? vorcommand::exportVor(files.at(0), files.at(1), QString::fromLatin1(version),
                                           out, err)
                   : vorcommand::importVor(files.at(0), files.at(1), out, err);
    }
    return std::nullopt;
}
