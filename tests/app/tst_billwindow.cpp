#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "bill/billwindow.h"
#include "errorrecorder.h"
#include "norms/normcontrol.h"
#include "norms/normwindow.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

namespace {

// Ten works of one material each, with a resource code as a norm's: ten entries, ten totals.
// With hours, the first one is a norm's with its labour and a machine too.
void addTenEntries(BillControl &bill, bool hours = false)
{
    for (int i = 1; i <= 10; ++i) {
        bom::Entry entry;
        entry.added = QDateTime(QDate(2026, 12, 7), QTime(10, i), Qt::UTC);
        entry.work =
            QStringLiteral("ГЭСН 06-01-001-%1 Устройство фундаментов").arg(i, 2, 10, QChar(u'0'));
        entry.inputs = QStringLiteral("Объем работ, м3: %1").arg(i);
        entry.materials.append(
            bom::material(QStringLiteral("Материал № %1").arg(i), QStringLiteral("м3"), double(i),
                          bom::MaterialKind::Buy, QString(), QStringLiteral("ГЭСН 06-01-001-01"),
                          QStringLiteral("01.7.15.06-01%1").arg(i, 2, 10, QChar(u'0'))));
        if (hours && i == 1) {
            entry.materials.append(
                bom::material(QStringLiteral("Затраты труда рабочих"), QStringLiteral("чел.-ч"),
                              45.5, bom::MaterialKind::Labour, QString(),
                              QStringLiteral("ГЭСН 06-01-001-01"), QStringLiteral("1-100-20")));
            entry.materials.append(
                bom::material(QStringLiteral("Автомобили бортовые, до 5 т"),
                              QStringLiteral("маш.-ч"), 1.25, bom::MaterialKind::Machine, QString(),
                              QStringLiteral("ГЭСН 06-01-001-01"), QStringLiteral("91.14.02-001")));
        }
        bill.addEntry(entry);
    }
}

// Whether the table shows its first rows whole, without scrolling.
bool showsRows(const QTableView *table, int rows)
{
    return table->model()->rowCount() >= rows &&
           table->rowViewportPosition(rows - 1) + table->rowHeight(rows - 1) <=
               table->viewport()->height();
}

} // namespace

// The bill's window as a window among the program's: in front of the main window after its
// dialogs, sized for a small laptop screen at first and as the user left it later, opened in its
// entries, and quitting the program as the main window does.
class BillWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dialogsBelongToTheBillWindow_data();
    void dialogsBelongToTheBillWindow();
    void firstOpeningShowsTenEntriesAndTenTotals_data();
    void firstOpeningShowsTenEntriesAndTenTotals();
    void normWindowOpensInsideTheScreen();
    void layoutIsRememberedForTheNextRun_data();
    void layoutIsRememberedForTheNextRun();
    void opensWithTheFocusInTheEntries();
    void ctrlQQuitsAsTheMainWindowDoes_data();
    void ctrlQQuitsAsTheMainWindowDoes();
    void undoTipsNameAStepOnlyWhenThereIsOne_data();
    void undoTipsNameAStepOnlyWhenThereIsOne();

private:
    BillWindow *openBill();
    QTableView *table(const char *name)
    {
        return m_driver->window().bill().window()->findChild<QTableView *>(
            QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<WindowDriver> m_driver;
};

void BillWindowTest::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_driver = std::make_unique<WindowDriver>();
    m_driver->window().show();
    QVERIFY(QTest::qWaitForWindowActive(&m_driver->window()));
}

void BillWindowTest::cleanup()
{
    // A bill left with changes would ask when the window goes.
    m_driver->window().bill().book().markSaved(QString());
    m_driver.reset();
    m_settings.reset();
}

BillWindow *BillWindowTest::openBill()
{
    // The shortcut is the main window's; a closed window left none active here.
    m_driver->window().activateWindow();
    if (!QTest::qWaitFor([this] { return QApplication::activeWindow() == &m_driver->window(); }))
        qFatal("the main window is not active");
    m_driver->pressKey(Qt::Key_B, Qt::ControlModifier);
    BillWindow *window = m_driver->window().bill().window();
    if (!window || !QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
        qFatal("the bill's window did not open");
    return window;
}

void BillWindowTest::dialogsBelongToTheBillWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("modified"); // a bill with changes asks before it is replaced
    QTest::addColumn<QString>("dialog");
    QTest::newRow("open") << "BillOpen" << false << "QFileDialog";
    QTest::newRow("save as") << "BillSaveAs" << false << "QFileDialog";
    QTest::newRow("XLSX") << "BillExportXlsx" << false << "QFileDialog";
    QTest::newRow("CSV") << "BillExportCsv" << false << "QFileDialog";
    QTest::newRow("PDF") << "BillPdf" << false << "QFileDialog";
    QTest::newRow("question before a new bill") << "BillNew" << true << "QMessageBox";
}

// The real dialog opens over the bill's window, which the window system then brings back to the
// front, not the main window behind it.
void BillWindowTest::dialogsBelongToTheBillWindow()
{
    QFETCH(QString, button);
    QFETCH(bool, modified);
    QFETCH(QString, dialog);
    addTenEntries(m_driver->window().bill());
    if (!modified)
        m_driver->window().bill().book().markSaved(QString());
    BillWindow *window = openBill();
    QWidget *owner = nullptr;
    QString kind;
    m_driver->modals().expect([&](QWidget *shown) {
        owner = shown->parentWidget() ? shown->parentWidget()->window() : nullptr;
        kind = QString::fromLatin1(shown->metaObject()->className());
        qobject_cast<QDialog *>(shown)->reject();
    });
    QTest::mouseClick(window->findChild<QWidget *>(button), Qt::LeftButton);
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(kind, dialog);
    QCOMPARE(owner, window);
}

void BillWindowTest::firstOpeningShowsTenEntriesAndTenTotals_data()
{
    QTest::addColumn<bool>("norm"); // a norm's entry brings «Затраты труда и машин»
    QTest::addColumn<bool>("vor"); // the bill of quantities' fields unfolded
    QTest::addColumn<QString>("picture");
    QTest::newRow("the pages' figures") << false << false << "bill-1366x768.png";
    QTest::newRow("a norm's entry, the ВОР unfolded") << true << true << "bill-vor-1366x768.png";
}

void BillWindowTest::firstOpeningShowsTenEntriesAndTenTotals()
{
    QFETCH(bool, norm);
    QFETCH(bool, vor);
    QFETCH(QString, picture);
    if (QGuiApplication::primaryScreen()->size() != QSize(1366, 768))
        QSKIP("the screen is not the 1366×768 this test is about");
    addTenEntries(m_driver->window().bill(), norm);
    BillWindow *window = openBill();
    if (vor)
        m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillVorToggle")));
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("VorPanel"))->isVisible() == vor);
    QCOMPARE(window->findChild<QWidget *>(QStringLiteral("BillHoursBox"))->isVisible(), norm);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(window->grab().save(folder + u'/' + picture));
    const QRect frame = window->frameGeometry();
    QVERIFY2(window->screen()->availableGeometry().contains(frame),
             qPrintable(QStringLiteral("%1,%2 %3×%4")
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())));
    // Room is left for the frame, its title and a task bar.
    QVERIFY2(window->width() <= 1366 - 16 && window->height() <= 768 - 40 - 32,
             qPrintable(QStringLiteral("%1×%2").arg(window->width()).arg(window->height())));
    QVERIFY(showsRows(table("BillEntries"), 10));
    QVERIFY(showsRows(table("BillTotals"), 10));
    // The totals' columns, the code first, need no scrolling to the side.
    const QTableView *totals = table("BillTotals");
    QVERIFY(!totals->isColumnHidden(totals->horizontalHeader()->logicalIndex(0)));
}

// «Нормы» opens whole on a laptop's screen, its title bar too.
void BillWindowTest::normWindowOpensInsideTheScreen()
{
    if (QGuiApplication::primaryScreen()->size() != QSize(1366, 768))
        QSKIP("the screen is not the 1366×768 this test is about");
    m_driver->window().normControl().showWindow();
    QWidget *norms = m_driver->window().normControl().window();
    QVERIFY(norms && QTest::qWaitForWindowExposed(norms));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(norms->grab().save(folder + QStringLiteral("/norms-1366x768.png")));
    // Room is left for the frame, its title and a task bar, as for the bill.
    QVERIFY2(norms->screen()->availableGeometry().contains(norms->frameGeometry()) &&
                 norms->width() <= 1366 - 16 && norms->height() <= 768 - 40 - 32,
             qPrintable(QStringLiteral("%1×%2 at %3,%4")
                            .arg(norms->width())
                            .arg(norms->height())
                            .arg(norms->x())
                            .arg(norms->y())));
}

void BillWindowTest::layoutIsRememberedForTheNextRun_data()
{
    QTest::addColumn<bool>("quit"); // the program quit with the window open, else Ctrl+W
    QTest::newRow("window closed") << false;
    QTest::newRow("program quit with the window open") << true;
}

void BillWindowTest::layoutIsRememberedForTheNextRun()
{
    QFETCH(bool, quit);
    BillWindow *window = openBill();
    window->setGeometry(QRect(60, 50, 900, 520));
    table("BillEntries")->setColumnWidth(1, 333);
    table("BillTotals")->setColumnWidth(1, 222);
    const QRect placed = window->geometry();
    if (quit)
        m_driver->window().close();
    else
        QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!window->isVisible());

    // A new run of the program.
    m_driver = std::make_unique<WindowDriver>();
    m_driver->window().show();
    QVERIFY(QTest::qWaitForWindowActive(&m_driver->window()));
    window = openBill();
    QCOMPARE(window->geometry(), placed);
    QCOMPARE(table("BillEntries")->columnWidth(1), 333);
    QCOMPARE(table("BillTotals")->columnWidth(1), 222);
}

void BillWindowTest::opensWithTheFocusInTheEntries()
{
    addTenEntries(m_driver->window().bill());
    BillWindow *window = openBill();
    QCOMPARE(QApplication::focusWidget(), table("BillEntries"));
    // Again so after the head was typed in and the window closed.
    QTest::mouseClick(window->findChild<QLineEdit *>(QStringLiteral("BillObject")), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("BillObject"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
    openBill();
    QCOMPARE(QApplication::focusWidget(), table("BillEntries"));
}

void BillWindowTest::ctrlQQuitsAsTheMainWindowDoes_data()
{
    QTest::addColumn<int>("answer"); // 0 save, 1 do not save, 2 cancel
    QTest::addColumn<bool>("running");
    QTest::newRow("cancelled") << 2 << true;
    QTest::newRow("not saved") << 1 << false;
}

void BillWindowTest::ctrlQQuitsAsTheMainWindowDoes()
{
    QFETCH(int, answer);
    QFETCH(bool, running);
    ErrorRecorder errors;
    errors.answerChoicesWith(answer);
    addTenEntries(m_driver->window().bill());
    BillWindow *window = openBill();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(errors.choices(), QStringList{QStringLiteral("Сохранить изменения в ведомости?")});
    QCOMPARE(m_driver->window().isVisible(), running);
    QCOMPARE(window->isVisible(), running);
}

void BillWindowTest::undoTipsNameAStepOnlyWhenThereIsOne_data()
{
    QTest::addColumn<int>("undone"); // of the two entries added
    QTest::addColumn<QString>("undoTip");
    QTest::addColumn<QString>("redoTip");
    QTest::newRow("nothing undone") << 0 << "Отменить: добавление «Работа 2» (Ctrl+Z)"
                                    << "Повторить (Ctrl+Shift+Z)";
    QTest::newRow("one undone") << 1 << "Отменить: добавление «Работа 1» (Ctrl+Z)"
                                << "Повторить: добавление «Работа 2» (Ctrl+Shift+Z)";
    QTest::newRow("all undone") << 2 << "Отменить (Ctrl+Z)"
                                << "Повторить: добавление «Работа 1» (Ctrl+Shift+Z)";
}

void BillWindowTest::undoTipsNameAStepOnlyWhenThereIsOne()
{
    QFETCH(int, undone);
    QFETCH(QString, undoTip);
    QFETCH(QString, redoTip);
    BillWindow *window = openBill();
    for (int i = 1; i <= 2; ++i) {
        bom::Entry entry;
        entry.work = QStringLiteral("Работа %1").arg(i);
        entry.materials.append(bom::material(QStringLiteral("Песок"), QStringLiteral("м3"), i));
        m_driver->window().bill().addEntry(entry);
    }
    for (int i = 0; i < undone; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->findChild<QWidget *>(QStringLiteral("BillUndo"))->toolTip(), undoTip);
    QCOMPARE(window->findChild<QWidget *>(QStringLiteral("BillRedo"))->toolTip(), redoTip);
}

int main(int argc, char *argv[])
{
    // A laptop's screen of 1366×768, the smallest the program is laid out for.
    // The file is named relative to the working folder: a Windows path's drive letter would end
    // the platform's argument at its colon.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile config(QStringLiteral("tst_billwindow-screen.json"));
        if (config.open(QIODevice::WriteOnly))
            config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366,
                "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    BillWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_billwindow.moc"
