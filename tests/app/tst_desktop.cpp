#include "clock.h"
#include "common/journalprint.h"
#include "errorrecorder.h"
#include "journal.h"
#include "journalfile.h"
#include "widgets/clickablelabel.h"
#include "widgets/colourcontrast.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// Colours of a dark desktop theme, as Breeze Dark sets them.
QPalette darkPalette()
{
    QPalette dark;
    const QColor window(0x31, 0x36, 0x3b), base(0x23, 0x26, 0x29), text(0xef, 0xf0, 0xf1);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    dark.setColor(QPalette::HighlightedText, text);
    dark.setColor(QPalette::Link, QColor(0x29, 0x80, 0xb9));
    dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    return dark;
}

// Contrast of what is drawn in an area of an image: its most frequent colour is the background,
// the pixel farthest from it in luminance is the text.
qreal drawnContrast(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    qreal best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, colourcontrast::ratio(QColor(it.key()), QColor(background)));
    return best;
}

#ifdef Q_OS_UNIX
// Raises the file size limit back when it goes out of scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};
#endif

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts.append(action->text().remove(u'&').section(u'\t', 0, 0));
    }
    return texts;
}

} // namespace

// Receives the web addresses the program asks the desktop to open.
class Browser : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// How the program fits a Linux desktop: Qt's own texts in Russian, the usual shortcuts and
// menu mnemonics, readable colours under a dark theme, a PDF that never half-replaces a file.
class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fieldContextMenuIsRussian();
    void homeTextIsCentredLineByLine();
    void shortcutsAct_data();
    void shortcutsAct();
    void printShortcutOpensThePrintDialog();
    void menuMnemonicsOpenTheirMenus_data();
    void menuMnemonicsOpenTheirMenus();
    void standardsPageWithoutBrowserIsReported();

    void pdfReplacesAnExistingFileWhole();
    void pdfThatCannotBeWrittenKeepsThePreviousFile();

    void contrastFollowsTheGuidelines_data();
    void contrastFollowsTheGuidelines();
    void linkStaysBlueAndReadable_data();
    void linkStaysBlueAndReadable();
    void linkOnMidGreyTurnsWhite();
    void linkOnThePageFollowsTheTheme();
    void textsAreReadableUnderADarkTheme_data();
    void textsAreReadableUnderADarkTheme();

private:
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
    QPalette m_savedPalette;
};

void DesktopTest::init()
{
    m_savedPalette = QApplication::palette();
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void DesktopTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
    QApplication::setPalette(m_savedPalette);
}

void DesktopTest::fieldContextMenuIsRussian()
{
    m_driver->clickNode(3);
    auto *field = m_driver->widget<QLineEdit>(QStringLiteral("Edit1"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, field->rect().center(),
                            field->mapToGlobal(field->rect().center()));
    QApplication::sendEvent(field, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    const QStringList texts = menuTexts(menu);
    menu->close();
    for (const QString &entry :
         {QStringLiteral("Вырезать"), QStringLiteral("Копировать"), QStringLiteral("Вставить")})
        QVERIFY2(texts.contains(entry), qPrintable(texts.join(u'|')));
    for (const QString &text : texts) {
        for (const QChar letter : text)
            QVERIFY2(!(letter >= u'A' && letter <= u'z'), qPrintable(text));
    }
}

// The home page's text is built in one edit; it must still be the same lines, each centred.
void DesktopTest::homeTextIsCentredLineByLine()
{
    auto *memo = m_driver->widget<QTextEdit>(QStringLiteral("Memo1"));
    const QStringList lines = memo->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(
        lines.mid(0, 8),
        (QStringList{QString(), QStringLiteral("Данная программа создана для производственно-"),
                     QStringLiteral("технических служб строительных организаций"), QString(),
                     QStringLiteral("В основу расчетов программы положены "),
                     QStringLiteral("расчетные коэффициенты из следующих "),
                     QStringLiteral("источников:"), QString()}));
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        QCOMPARE(block.blockFormat().alignment(), Qt::AlignHCenter);
    QVERIFY(!memo->isReadOnly());
}

void DesktopTest::shortcutsAct_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("Ctrl+S saves the journal of the day") << (Qt::CTRL | Qt::Key_S) << "day file";
    QTest::newRow("Ctrl+Shift+P saves it as PDF") << (Qt::CTRL | Qt::SHIFT | Qt::Key_P) << "pdf";
    QTest::newRow("F1 shows the home page") << QKeyCombination(Qt::Key_F1) << "home";
    QTest::newRow("Ctrl+Q exits through the close") << (Qt::CTRL | Qt::Key_Q) << "closed";
}

void DesktopTest::shortcutsAct()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, outcome);
    Clock &clock = m_driver->window().clock();
    clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)); });
    clock.Timer1Timer();
    const QString pdf = QDir::current().filePath(QStringLiteral("история.pdf"));
    m_driver->window().setPdfPathChooser([pdf] { return pdf; });
    m_driver->clickNode(11);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet5"));

    m_driver->pressKey(keys.key(), keys.keyboardModifiers());
    if (outcome == u"day file")
        QVERIFY(QFile::exists(QStringLiteral("data/07.12.2026.txt")));
    else if (outcome == u"pdf")
        QVERIFY(QFile::exists(pdf));
    else if (outcome == u"home")
        QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet3"));
    else if (outcome == u"closed")
        QVERIFY(!m_driver->window().isVisible());
    QCOMPARE(QFile::exists(QStringLiteral("data/history.txt")), outcome == u"closed");
    QCOMPARE(m_errors->messages(), QStringList());
}

void DesktopTest::printShortcutOpensThePrintDialog()
{
    QString title;
    m_driver->modals().expect([&](QWidget *dialog) {
        QVERIFY(qobject_cast<QPrintDialog *>(dialog));
        title = dialog->windowTitle();
        qobject_cast<QDialog *>(dialog)->reject();
    });
    m_driver->pressKey(Qt::Key_P, Qt::ControlModifier);
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(title, QStringLiteral("Печать"));
    QCOMPARE(m_driver->journal(), QStringList{Journal::firstLine()});
}

void DesktopTest::menuMnemonicsOpenTheirMenus_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("firstEntry");
    QTest::newRow("Alt+Д") << QChar(u'д') << "N1"
                           << "Добавить в ведомость";
    QTest::newRow("Alt+У") << QChar(u'у') << "N2"
                           << "Вперед";
}

void DesktopTest::menuMnemonicsOpenTheirMenus()
{
    QFETCH(QChar, letter);
    QFETCH(QString, menu);
    QFETCH(QString, firstEntry);
    auto *opened = m_driver->widget<QMenu>(menu);
    m_driver->pressAccelerator(letter);
    QTRY_VERIFY(opened->isVisible());
    QCOMPARE(menuTexts(opened).constFirst(), firstEntry);
    opened->close();
}

void DesktopTest::standardsPageWithoutBrowserIsReported()
{
    // A handler whose slot is missing refuses the address, as a desktop without a browser does.
    Browser refusing;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &refusing, "missing");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No such method")));
    m_driver->click(QStringLiteral("ToolButton5"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(m_errors->messages(), QStringList{QStringLiteral(
                                       "Не удалось открыть страницу https://www.gost.ru: в "
                                       "системе не найдена программа для просмотра веб-страниц.")});
    QCOMPARE(m_driver->journal(), QStringList{Journal::firstLine()});

    Browser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    m_driver->click(QStringLiteral("ToolButton5"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(browser.urls.size(), 1);
    QCOMPARE(m_errors->messages().size(), 1);
}

void DesktopTest::pdfReplacesAnExistingFileWhole()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("история.pdf"));
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write(QByteArray(200000, 'x'));
    previous.close();
    QCOMPARE(journalprint::writePdf(path, {QStringLiteral("строка")}, QStringLiteral("07.12.2026"),
                                    QStringLiteral("09:00:00")),
             std::nullopt);
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));
    QVERIFY(!bytes.contains("xxxxxxxx"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"история.pdf"});
}

void DesktopTest::pdfThatCannotBeWrittenKeepsThePreviousFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("история.pdf"));
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write("the previous file");
    previous.close();
    for (int i = 0; i < 300; ++i)
        m_driver->window().journal().append(QStringLiteral("Итоги произведенного расчета:"));
    m_driver->window().setPdfPathChooser([path] { return path; });

#ifdef Q_OS_UNIX
    // A file size limit stops the write part way, as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    {
        FileSizeLimit limit(1024);
        m_driver->widget<QAction>(QStringLiteral("SaveJournalAsPdf"))->trigger();
    }
    QCOMPARE(m_errors->messages(), QStringList{QStringLiteral("I/O error %1.").arg(EFBIG)});
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("the previous file"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"история.pdf"});
#else
    QSKIP("a file size limit is a POSIX facility");
#endif
}

void DesktopTest::contrastFollowsTheGuidelines_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<qreal>("expected");
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("either way round") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("same colour") << QColor(0x31, 0x36, 0x3b) << QColor(0x31, 0x36, 0x3b) << 1.0;
    QTest::newRow("lightest grey readable on white")
        << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 4.54;
    QTest::newRow("blue on white") << QColor(Qt::blue) << QColor(Qt::white) << 8.59;
    QTest::newRow("green on black") << QColor(Qt::green) << QColor(Qt::black) << 15.3;
    // Channels up to 10/255 are linear already, scaled down by 12.92.
    QTest::newRow("near-black on black") << QColor(0x0a, 0x0a, 0x0a) << QColor(Qt::black) << 1.06;
}

void DesktopTest::contrastFollowsTheGuidelines()
{
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(qreal, expected);
    QCOMPARE(qRound(colourcontrast::ratio(text, background) * 100) / 100.0, expected);
}

void DesktopTest::linkStaysBlueAndReadable_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("pureBlue");
    QTest::newRow("light window") << QColor(0xef, 0xef, 0xef) << true;
    QTest::newRow("Breeze Dark window") << QColor(0x31, 0x36, 0x3b) << false;
    QTest::newRow("Adwaita-dark window") << QColor(0x24, 0x24, 0x24) << false;
    QTest::newRow("black") << QColor(Qt::black) << false;
}

void DesktopTest::linkStaysBlueAndReadable()
{
    QFETCH(QColor, background);
    QFETCH(bool, pureBlue);
    const QColor link = ClickableLabel::linkColour(background);
    QCOMPARE(link == QColor(Qt::blue), pureBlue);
    QCOMPARE(link.blue(), 255);
    QVERIFY(link.red() < 200 && link.red() == link.green());
    QVERIFY(colourcontrast::ratio(link, background) >= 4.5);
}

// On a mid-grey window no shade of blue is readable, but white still is.
void DesktopTest::linkOnMidGreyTurnsWhite()
{
    const QColor background(0x75, 0x75, 0x75);
    const QColor link = ClickableLabel::linkColour(background);
    QCOMPARE(link, QColor(Qt::white));
    QVERIFY(colourcontrast::ratio(link, background) >= 4.5);
}

// The foundation page's link is pure blue on a light window, and turns a lighter blue when the
// desktop changes to a dark theme while the program runs, and back again.
void DesktopTest::linkOnThePageFollowsTheTheme()
{
    m_driver->clickNode(7);
    QWidget *link = m_driver->widget(QStringLiteral("Label36"));
    const auto shown = [link] {
        return link->palette().color(link->foregroundRole());
    };
    QCOMPARE(shown(), QColor(Qt::blue));
    QVERIFY(link->font().underline());

    // Widgets take a new application palette through a posted event.
    QApplication::setPalette(darkPalette());
    QTRY_COMPARE(link->palette().color(link->backgroundRole()),
                 darkPalette().color(QPalette::Window));
    const QColor background = link->palette().color(link->backgroundRole());
    QCOMPARE(shown().blue(), 255);
    QVERIFY2(shown().red() > 0 && shown().red() == shown().green(), qPrintable(shown().name()));
    QVERIFY(colourcontrast::ratio(shown(), background) >= 4.5);

    QApplication::setPalette(m_savedPalette);
    QTRY_COMPARE(shown(), QColor(Qt::blue));
}

void DesktopTest::textsAreReadableUnderADarkTheme_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("file");
    QTest::newRow("home page") << 0 << "dark-home.png";
    QTest::newRow("foundation page") << 7 << "dark-foundation.png";
    QTest::newRow("masonry page") << 3 << "dark-masonry.png";
}

// Every label, field and choice on the page, and the home page's own texts, against what lies
// behind them as drawn.
void DesktopTest::textsAreReadableUnderADarkTheme()
{
    QFETCH(int, place);
    QFETCH(QString, file);
    m_driver.reset();
    QApplication::setPalette(darkPalette());
    m_driver = std::make_unique<WindowDriver>();
    m_driver->clickNode(place);
    QWidget *page = m_driver->visiblePage();
    TForm1 &window = m_driver->window();
    const QImage image = window.grab().toImage();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(image.save(folder + u'/' + file));

    QList<QWidget *> texts;
    for (QWidget *widget : page->findChildren<QWidget *>()) {
        if (!widget->isVisible())
            continue;
        const auto *label = qobject_cast<QLabel *>(widget);
        if ((label && !label->text().isEmpty()) || qobject_cast<QLineEdit *>(widget) ||
            qobject_cast<QAbstractButton *>(widget) || qobject_cast<QTextEdit *>(widget))
            texts.append(widget);
    }
    QVERIFY(texts.size() >= 2);
    for (QWidget *widget : texts) {
        const QRect area(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        const qreal contrast = drawnContrast(image, area.intersected(image.rect()));
        QVERIFY2(contrast >= colourcontrast::kReadable,
                 qPrintable(QStringLiteral("%1: %2").arg(widget->objectName()).arg(contrast)));
    }
}

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
