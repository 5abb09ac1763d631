#include "appsetup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Merilon"));
    // The window is laid out in 8-point Arial (metric-compatible Liberation Sans on Linux).
    QApplication::setFont(QFont(QStringLiteral("Arial"), 8));

    // Qt's own texts, such as the journal panel's context menu, in Russian: from Qt's
    // translations, or from translations/ beside the program where it ships its own (Windows).
    auto *translator = new QTranslator(qApp);
    const QString name = QStringLiteral("qtbase_ru");
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator->load(name,
                         QApplication::applicationDirPath() + QStringLiteral("/translations")))
        QApplication::installTranslator(translator);
    else
        delete translator;
}
