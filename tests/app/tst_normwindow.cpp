#include "../norms/footings.h"
#include "../norms/splitform.h"
#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "errorrecorder.h"
#include "normdb.h"
#include "norms/normbase.h"
#include "norms/normcontrol.h"
#include "norms/normwindow.h"
#include "norms/pricecontrol.h"
#include "norms/ratetableswindow.h"
#include "normsample.h"
#include "totals.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>

// The norm base driven through the main window: imported from the menu, searched, computed,
// added to the bill; a damaged base, a broken file and a cancelled import leave the program
// working.
class NormWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importFindComputeAndAddToTheBill();
    void searchesByResourceAndKeepsTheMode_data();
    void searchesByResourceAndKeepsTheMode();
    void searchWaitsForAPauseOrEnter();
    void badVolumeIsReportedAndChangesNothing_data();
    void badVolumeIsReportedAndChangesNothing();
    void withoutABaseTheWindowSaysSo();
    void unusableBaseIsRefusedAndKept_data();
    void unusableBaseIsRefusedAndKept();
    void brokenFileIsReportedAndTheBaseStays();
    void cancelledImportLeavesThePreviousBase();
    void editionsFolderBringsNormsAndPrices();
    void lineIsPricedInTheChosenList();
    void ctrlFGoesToTheSearch_data();
    void ctrlFGoesToTheSearch();
    void addNoticeShowsOverTheWindowInUse_data();
    void addNoticeShowsOverTheWindowInUse();
    void rateTablesAreFoundAndReplaced();
    void keysOfTheMainWindowAndOfBothLayoutsWork_data();
    void keysOfTheMainWindowAndOfBothLayoutsWork();
    void renderNormWindow();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    // Imports through the menu, with the file dialog answered, and waits for the end.
    bool importFromMenu(const QStringList &files);
    NormWindow *normWindow() { return m_driver->window().normControl().window(); }
    template <typename T = QWidget> T *part(const char *name)
    {
        return normWindow()->findChild<T *>(QString::fromLatin1(name));
    }
    QStringList shownCodes();
    void chooseFirstHit();

    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
};

namespace {

const QStringList kFootingBlock{
    "Расчет по норме: ГЭСН 06-01-001-02 Устройство бетонных фундаментов общего назначения "
    "объемом: до 5 м3",
    "Объем работ, м3: 25",
    "Необходимые материалы:",
    "Гвозди строительные, т: 0,00125",
    "Смеси бетонные, м3: по проекту",
    "Затраты труда, чел.-ч: 45",
    "Затраты труда машинистов, чел.-ч: 0,125",
    "Машины, маш.-ч: 0,3",
};

} // namespace

void NormWindowTest::init()
{
    m_files = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void NormWindowTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
    m_settings.reset();
    m_files.reset();
}

QString NormWindowTest::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_files->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

bool NormWindowTest::importFromMenu(const QStringList &files)
{
    NormControl &control = m_driver->window().normControl();
    control.setFileChooser([files] { return files; });
    QSignalSpy finished(&control, &NormControl::importFinished);
    control.importAction()->trigger();
    return finished.wait(60'000);
}

QStringList NormWindowTest::shownCodes()
{
    QStringList codes;
    const QAbstractItemModel *hits = part<QTreeView>("NormHits")->model();
    for (int row = 0; row < hits->rowCount(); ++row)
        codes.append(hits->index(row, 0).data().toString());
    return codes;
}

void NormWindowTest::chooseFirstHit()
{
    // From the search field, as typed: Down goes on to the first norm found.
    QCOMPARE(QApplication::focusWidget(), part("NormSearch"));
    m_driver->pressKey(Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), part("NormHits"));
}

void NormWindowTest::importFindComputeAndAddToTheBill()
{
    // The menu offers both, the window with its shortcut.
    QStringList offered;
    for (QAction *action : m_driver->window().menuBar()->actions().front()->menu()->actions())
        offered.append(action->text() + u' ' + action->shortcut().toString());
    QVERIFY(offered.contains(QStringLiteral("&Расчет по нормам... Ctrl+F")));
    QVERIFY(offered.contains(QStringLiteral("&Загрузить базу норм... ")));

    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    QVERIFY(normWindow() && normWindow()->isVisible());
    QVERIFY(part<QLabel>("NormStatus")->text().contains(QStringLiteral("норм 6")));

    m_driver->newJournalLines();
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    QTRY_COMPARE(shownCodes(), QStringList{QStringLiteral("ГЭСН 06-01-001-02")});
    chooseFirstHit();
    QCOMPARE(part<QLabel>("NormCode")->text(), QStringLiteral("ГЭСН 06-01-001-02"));
    QCOMPARE(part<QLabel>("NormMeasure")->text(), QStringLiteral("Измеритель: 100 м3"));
    // Operations that end their own sentences read as sentences.
    QCOMPARE(part<QLabel>("NormContent")->text(),
             QStringLiteral("Состав работ: Установка опалубки. Укладка бетона."));
    QCOMPARE(part<QLabel>("NormReasons")->text(),
             QStringLiteral("Нормативы НР и СП: НР 102 % (Пр/812-006.0 Бетонные и железобетонные "
                            "монолитные конструкции и работы в строительстве (за исключением "
                            "пунктов 6.1, 6.2)), СП 58 %"));

    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    QTest::mouseClick(part("NormCompute"), Qt::LeftButton);
    QCOMPARE(m_driver->newJournalLines(), kFootingBlock);
    // Materials first, then labour, then machines; the amounts beside the rates.
    QStringList rows;
    auto *resources = part<QTreeWidget>("NormResources");
    for (int group = 0; group < resources->topLevelItemCount(); ++group) {
        QTreeWidgetItem *top = resources->topLevelItem(group);
        rows.append(top->text(0));
        for (int line = 0; line < top->childCount(); ++line)
            rows.append(top->child(line)->text(1) + u'|' + top->child(line)->text(3) + u'|' +
                        top->child(line)->text(4));
    }
    QCOMPARE(rows, (QStringList{"Материалы", "Гвозди строительные|0,005|0,00125",
                                "Смеси бетонные (технологическая группа 04.1.02.05.01)|по "
                                "проекту|по проекту",
                                "Затраты труда", "Средний разряд работы 3,0|180|45",
                                "Затраты труда машинистов|0,5|0,125", "Машины и механизмы",
                                "Автомобили бортовые|1,2|0,3"}));

    // The shortcut belongs to the norm window, which the import brought to the front.
    QVERIFY(QTest::qWaitForWindowActive(normWindow()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
    const QList<bom::Entry> &entries = m_driver->window().bill().book().bill().entries;
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.front().inputs, QStringLiteral("Объем работ, м3: 25"));
    // The nails go to the totals under their code; the hours to a section of their own.
    const bom::Totals totals = bom::computeTotals(m_driver->window().bill().book().bill());
    QCOMPARE(totals.rows.size(), 1);
    QCOMPARE(totals.rows.front().key.code, QStringLiteral("01.7.15.06-0111"));
    QCOMPARE(bom::quantityText(totals.rows.front().quantity), QStringLiteral("0,00125"));
    QCOMPARE(bom::quantityText(totals.labourHours), QStringLiteral("45"));
    QCOMPARE(bom::quantityText(totals.machinistHours), QStringLiteral("0,125"));
    QCOMPARE(bom::quantityText(totals.machineHours), QStringLiteral("0,3"));
    // No second journal block: the shown figures were added.
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!normWindow()->isVisible());
}

void NormWindowTest::searchesByResourceAndKeepsTheMode_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("rows"); // the norm, the line, its rate and its unit

    const QStringList nails{"ГЭСН 06-01-001-02|01.7.15.06-0111 Гвозди строительные|0,005|т"};
    QTest::newRow("words of the resource's name") << "гвозд строит" << nails;
    QTest::newRow("the beginning of its code") << "01.7.15" << nails;
    QTest::newRow("a line named by its code alone")
        << "2" << QStringList{"ГЭСН 06-01-001-02|2 Затраты труда машинистов|0,5|чел.-ч"};
    QTest::newRow("a material by technology group, without a rate")
        << "смес бетон"
        << QStringList{"ГЭСН 06-01-001-02|04.1.02.05 Смеси бетонные (технологическая группа "
                       "04.1.02.05.01)|по проекту|м3"};
    QTest::newRow("words of two resources are no resource") << "гвозд бетон" << QStringList{};
    QTest::newRow("words of the norm's name are no resource") << "фундам" << QStringList{};
}

void NormWindowTest::searchesByResourceAndKeepsTheMode()
{
    QFETCH(QString, query);
    QFETCH(QStringList, rows);
    const QString file = writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase);
    QVERIFY(importFromMenu({file}));
    QVERIFY(QTest::qWaitForWindowActive(normWindow()));
    // The mode beside the field, from the keyboard.
    m_driver->pressAccelerator(u'к');
    QCOMPARE(QApplication::focusWidget(), part("NormSearchMode"));
    m_driver->pressKey(Qt::Key_Down);
    QCOMPARE(part<QComboBox>("NormSearchMode")->currentText(), QStringLiteral("по ресурсу"));
    const auto shown = [this] {
        QStringList lines;
        const QAbstractItemModel *hits = part<QTreeView>("NormHits")->model();
        for (int row = 0; row < hits->rowCount(); ++row) {
            QStringList cells;
            for (const int column : {0, 4, 5, 6})
                cells.append(hits->index(row, column).data().toString());
            lines.append(cells.join(u'|'));
        }
        return lines;
    };
    m_driver->type(QStringLiteral("NormSearch"), query);
    m_driver->pressKey(Qt::Key_Return);
    QCOMPARE(shown(), rows);
    // The base read again after another import: the search stays by resource.
    QVERIFY(importFromMenu({file}));
    QCOMPARE(part<QComboBox>("NormSearchMode")->currentText(), QStringLiteral("по ресурсу"));
    QCOMPARE(shown(), rows);
}

void NormWindowTest::searchWaitsForAPauseOrEnter()
{
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("06-01"));
    // Typed but not searched yet: no event was let in for the pause to end.
    QCOMPARE(shownCodes(), QStringList());
    QTRY_COMPARE(shownCodes().size(), 6);
    QCOMPARE(QApplication::focusWidget(), part("NormSearch"));

    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ГЭСН 06-01-001"));
    QCOMPARE(shownCodes().size(), 6);
    // At once, and on to the norms found, as Enter always went.
    m_driver->pressKey(Qt::Key_Return);
    QCOMPARE(shownCodes(), (QStringList{QStringLiteral("ГЭСН 06-01-001-01"),
                                        QStringLiteral("ГЭСН 06-01-001-02")}));
    QCOMPARE(QApplication::focusWidget(), part("NormHits"));
}

void NormWindowTest::badVolumeIsReportedAndChangesNothing_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "abc"
                             << "'abc' is not a valid floating point value.";
    QTest::newRow("negative") << "-1"
                              << "Объем работ должен быть больше нуля.";
}

void NormWindowTest::badVolumeIsReportedAndChangesNothing()
{
    QFETCH(QString, volume);
    QFETCH(QString, message);
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ГЭСН 06-01-001-02"));
    chooseFirstHit();
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    QTest::mouseClick(part("NormCompute"), Qt::LeftButton);
    m_driver->newJournalLines();

    m_driver->type(QStringLiteral("NormVolume"), volume);
    QTest::mouseClick(part("NormCompute"), Qt::LeftButton);
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    // Ctrl+D with the bad volume adds nothing either.
    QTest::keyClick(normWindow(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_driver->window().bill().book().bill().entries.size(), 0);
}

void NormWindowTest::withoutABaseTheWindowSaysSo()
{
    QTest::keyClick(&m_driver->window(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(normWindow() && normWindow()->isVisible());
    QVERIFY(
        part<QLabel>("NormStatus")->text().startsWith(QStringLiteral("База норм не загружена")));
    QVERIFY(!part("NormSearch")->isEnabled());
    QVERIFY(part("NormImport")->isEnabled());
    // Looking made no database: that is an import's to make.
    QVERIFY(!QFileInfo::exists(m_driver->workFolder() + QStringLiteral("/data/norms.db")));
}

void NormWindowTest::unusableBaseIsRefusedAndKept_data()
{
    QTest::addColumn<bool>("newer"); // a later program's base, else a damaged file
    QTest::addColumn<QString>("refusal");
    QTest::newRow("damaged") << false
                             << "Файл «data/norms.db» поврежден или не является базой норм. "
                                "Нормы недоступны; загрузите базу норм заново.";
    QTest::newRow("newer") << true
                           << "База норм «data/norms.db» создана более новой версией программы "
                              "(версия схемы 9, эта программа знает до 8). Нормы недоступны; "
                              "обновите программу или загрузите базу норм заново.";
}

void NormWindowTest::unusableBaseIsRefusedAndKept()
{
    QFETCH(bool, newer);
    QFETCH(QString, refusal);
    const QString path = m_driver->workFolder() + QStringLiteral("/data/norms.db");
    if (newer) {
        const norms::NormDatabase::Opened made = norms::NormDatabase::open(path);
        made.database->connection().execute("PRAGMA user_version = 9");
        // Everything in the main file, so that its bytes are all there is to compare.
        made.database->connection().execute("PRAGMA journal_mode = DELETE");
    } else {
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, 'x'));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QTest::keyClick(&m_driver->window(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(part<QLabel>("NormStatus")->text(), refusal);

    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    // A later program's base is never written to; a damaged one is kept aside, never deleted.
    QCOMPARE(m_errors->messages(), newer ? QStringList{refusal} : QStringList());
    const QStringList kept =
        QDir(m_driver->workFolder() + QStringLiteral("/data"))
            .entryList({QStringLiteral("norms.db"), QStringLiteral("norms.db.damaged-*")},
                       QDir::Files);
    QCOMPARE(kept.size(), newer ? 1 : 2);
    file.setFileName(m_driver->workFolder() + QStringLiteral("/data/") + kept.back());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    if (!newer) {
        m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("06-01"));
        QTRY_COMPARE(shownCodes().size(), 6);
    }
}

void NormWindowTest::brokenFileIsReportedAndTheBaseStays()
{
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    QByteArray broken = kFootingsBase;
    broken.replace("</NameGroup>", "</Name>");
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСНр.xml"), broken)}));
    QCOMPARE(m_errors->messages().size(), 1);
    const QString message = m_errors->messages().front();
    QVERIFY2(message.startsWith(QStringLiteral("Файл «")) && message.contains(u"ГЭСНр.xml") &&
                 message.contains(QStringLiteral("строка 21")),
             qPrintable(message));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("06-01"));
    QTRY_COMPARE(shownCodes().size(), 6);
}

void NormWindowTest::editionsFolderBringsNormsAndPrices()
{
    QVERIFY(QDir(m_files->path()).mkpath(QStringLiteral("ФСНБ-2022")));
    QVERIFY(!writeFile(QStringLiteral("ФСНБ-2022/ГЭСН.xml"), kFootingsBase).isEmpty());
    // As published: a byte order mark and CR LF.
    QVERIFY(
        !writeFile(QStringLiteral("ФСНБ-2022/ФСБЦ_Маш.xml"),
                   "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                   "<ResourceCatalog xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                   "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\r\n"
                   " <Decrees ApprovingActNumber=\"490/пр\" ApprovingActDate=\"14.08.2025\"/>\r\n"
                   " <ResourcesDirectory><ResourceCategory Type=\"МашиныМеханизмы\">\r\n"
                   "  <Section Name=\"Автомобили\" Code=\"91.14\" Type=\"Раздел\">\r\n"
                   "   <Resource Code=\"91.14.02-001\" Name=\"Автомобили бортовые, до 5 т\">"
                   "<Prices><Price SalaryMach=\"300\" LabourMach=\"1.00\" "
                   "PriceCostWithoutSalary=\"500\" DriverCode=\"4-100-060\" "
                   "MachinistCategory=\"6.0\"/></Prices></Resource>\r\n"
                   "  </Section>\r\n </ResourceCategory></ResourcesDirectory>\r\n"
                   "</ResourceCatalog>\r\n")
             .isEmpty());
    QVERIFY(!writeFile(QStringLiteral("ФСНБ-2022/База ТГ.xml"),
                       "<?xml version=\"1.0\"?>\r\n<NewDataSet><Table/></NewDataSet>\r\n")
                 .isEmpty());
    NormControl &control = m_driver->window().normControl();
    const QString folder = m_files->filePath(QStringLiteral("ФСНБ-2022"));
    control.setFolderChooser([folder] { return folder; });
    QSignalSpy finished(&control, &NormControl::importFinished);
    QAction *fromFolder = nullptr;
    for (QAction *action : m_driver->window().menuBar()->actions().front()->menu()->actions())
        if (action->objectName() == QStringLiteral("ImportNormsFolder"))
            fromFolder = action;
    QVERIFY(fromFolder);
    fromFolder->trigger();
    QVERIFY(finished.wait(60'000));
    QCOMPARE(m_errors->messages(), QStringList());
    QVERIFY2(m_driver->text(QStringLiteral("NormStatus"))
                 .endsWith(QStringLiteral("норм 6, строк ресурсов 5, позиций каталога 1. Оставлены "
                                          "без загрузки: «База ТГ.xml» (его корневой элемент "
                                          "«NewDataSet», а не «base»).")),
             qPrintable(m_driver->text(QStringLiteral("NormStatus"))));
    QCOMPARE(m_driver->text(QStringLiteral("NormPrices")),
             QStringLiteral("Сметные цены ФСБЦ: машины и механизмы: позиций 1, уровень цен "
                            "01.01.2022, приказ № 490/пр от 14.08.2025."));
    QVERIFY(part("NormPrices")->isVisible());
    // A machine's line tells its machinist beneath it; a reference the tables lack is named.
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("06-01-001-02"));
    QTRY_COMPARE(shownCodes().size(), 1);
    chooseFirstHit();
    const QTreeWidgetItem *machines = part<QTreeWidget>("NormResources")->topLevelItem(2);
    QCOMPARE(machines->child(0)->child(0)->text(0),
             QStringLiteral("Машинист 4-100-060, разряд 6,0, 1 чел.-ч на маш.-ч"));
    const QString shots = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(shots);
    QTest::qWait(50); // the captions laid out before the picture
    QVERIFY(normWindow()->grab().toImage().save(shots + QStringLiteral("/norms-machinist.png")));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ГЭСНр 06-01-001-09"));
    QTRY_COMPARE(shownCodes().size(), 1);
    chooseFirstHit();
    QCOMPARE(part<QLabel>("NormReasons")->text(),
             QStringLiteral("Нормативы НР и СП: Пр/812-999.0 — нет в таблице НР, СП 41 % "
                            "(Пр/774-085.1 Земляные работы: механизированным способом)"));
}

void NormWindowTest::cancelledImportLeavesThePreviousBase()
{
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    normsample::BaseShape shape;
    shape.norms = 15000;
    const QString big = writeFile(QStringLiteral("big.xml"), normsample::base(shape));
    NormControl &control = m_driver->window().normControl();
    control.setFileChooser([big] { return QStringList{big}; });
    QSignalSpy finished(&control, &NormControl::importFinished);
    control.importAction()->trigger();
    auto *progress =
        normWindow()->findChild<QProgressDialog *>(QStringLiteral("NormImportProgress"));
    QVERIFY(progress);
    // Cancelled once the import reports it has begun.
    QTRY_VERIFY(progress->value() > 0);
    QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    QVERIFY(finished.wait(60'000));
    QCOMPARE(finished.front().at(0).toBool(), false);
    QCOMPARE(part<QLabel>("NormStatus")->text(),
             QStringLiteral("Загрузка отменена; база норм не изменена."));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ГЭСН 06-01-001"));
    QTRY_COMPARE(shownCodes(), (QStringList{QStringLiteral("ГЭСН 06-01-001-01"),
                                            QStringLiteral("ГЭСН 06-01-001-02")}));
}

void NormWindowTest::ctrlFGoesToTheSearch_data()
{
    QTest::addColumn<bool>("closed"); // closed with Ctrl+W before, else Ctrl+F in it
    QTest::newRow("window closed with Ctrl+W") << true;
    QTest::newRow("window open, the volume typed") << false;
}

void NormWindowTest::ctrlFGoesToTheSearch()
{
    QFETCH(bool, closed);
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    chooseFirstHit();
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == normWindow(); }));
    if (closed) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!normWindow()->isVisible());
        m_driver->window().activateWindow();
        QVERIFY(QTest::qWaitFor(
            [this] { return QApplication::activeWindow() == &m_driver->window(); }));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == normWindow(); }));
    QCOMPARE(QApplication::focusWidget(), part("NormSearch"));
    // Selected, so that typing starts a new search.
    QCOMPARE(part<QLineEdit>("NormSearch")->selectedText(), QStringLiteral("бетон фунд 5"));
}

void NormWindowTest::addNoticeShowsOverTheWindowInUse_data()
{
    QTest::addColumn<bool>("fromPage"); // then Ctrl+D on a page of the main window
    QTest::newRow("a norm's computation") << false;
    QTest::newRow("a page's computation after a norm's") << true;
}

void NormWindowTest::addNoticeShowsOverTheWindowInUse()
{
    QFETCH(bool, fromPage);
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    chooseFirstHit();
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == normWindow(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
    QWidget *inUse = normWindow();
    if (fromPage) {
        normWindow()->close();
        m_driver->window().activateWindow();
        QVERIFY(QTest::qWaitFor(
            [this] { return QApplication::activeWindow() == &m_driver->window(); }));
        m_driver->clickNode(3);
        m_driver->type(QStringLiteral("Edit1"), QStringLiteral("5"));
        m_driver->type(QStringLiteral("Edit2"), QStringLiteral("2,7"));
        m_driver->click(QStringLiteral("BitBtn9"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
        inUse = &m_driver->window();
    }
    QCOMPARE(m_driver->window().bill().book().bill().entries.size(), fromPage ? 2 : 1);
    auto *notice = m_driver->window().findChild<QLabel *>(QStringLiteral("BillNotice"));
    QVERIFY(notice && notice->isVisible());
    QCOMPARE(notice->window(), inUse);
    QVERIFY(notice->text().startsWith(QStringLiteral("Добавлено в ведомость: ")));
}

// Two quarters of a region's prices loaded from the menu: the line at hand is priced in the list
// chosen, which the settings remember.
void NormWindowTest::lineIsPricedInTheChosenList()
{
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    PriceControl &prices = m_driver->window().normControl().prices();
    for (const QString quarter : {QStringLiteral("2"), QStringLiteral("1")}) {
        splitform::Form form;
        form.period =
            QStringLiteral("Сплит-форма информации о ценах за %1 квартал 2026 года").arg(quarter);
        form.resources = {{"ФСБЦ-01.7.15.06-0111", "Гвозди строительные", "т", "", "5 310,40",
                           "01.7.15.06", "Гвозди", quarter == u"1" ? "5 000,00" : "-", "1,125"}};
        const QString file = m_files->filePath(quarter + QStringLiteral(" кв.csv"));
        QVERIFY(splitform::writeCsv(file, form, u';', true));
        prices.setFileChooser([file] { return QStringList{file}; });
        QSignalSpy finished(&prices, &PriceControl::finished);
        m_driver->window().findChild<QAction *>(QStringLiteral("ImportPrices"))->trigger();
        QVERIFY(finished.wait(60'000));
    }
    QVERIFY(part<QLabel>("NormStatus")->text().contains(QStringLiteral("«Москва, 1 кв. 2026»")));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    chooseFirstHit();
    auto *resources = part<QTreeWidget>("NormResources");
    resources->setCurrentItem(resources->topLevelItem(0)->child(0));
    QCOMPARE(m_driver->text(QStringLiteral("ResourcePrice")),
             QStringLiteral(
                 "01.7.15.06-0111: 5\u00a0000,00 руб./т — Москва, 1 кв. 2026 (текущая цена)"));
    m_driver->pressAccelerator(u'г');
    m_driver->pressKey(Qt::Key_Up);
    QCOMPARE(m_driver->text(QStringLiteral("ResourcePrice")),
             QStringLiteral("01.7.15.06-0111: 5\u00a0974,20 руб./т — Москва, 2 кв. 2026 (базисная "
                            "цена × индекс группы)"));
    // The resource a search by resource found is the one priced, whatever line was at hand.
    resources->setCurrentItem(resources->topLevelItem(2)->child(0));
    part<QComboBox>("NormSearchMode")->setCurrentIndex(1);
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("гвозди"));
    chooseFirstHit();
    QVERIFY(m_driver->text(QStringLiteral("ResourcePrice"))
                .startsWith(u"01.7.15.06-0111: 5\u00a0974,20"));
    m_driver->window().normControl().base().reopen();
    QCOMPARE(part<QComboBox>("PriceList")->currentText(), QStringLiteral("Москва, 2 кв. 2026"));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(normWindow()->grab().toImage().save(folder + QStringLiteral("/norms-prices.png")));
}

void NormWindowTest::keysOfTheMainWindowAndOfBothLayoutsWork_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("text"); // none: the bill is to show, else the volume computed
    QTest::newRow("Ctrl+B shows the bill") << (Qt::CTRL | Qt::Key_B) << "";
    QTest::newRow("Alt+H, the key of «Р» in the Latin layout, computes")
        << (Qt::ALT | Qt::Key_H) << "h";
}

void NormWindowTest::keysOfTheMainWindowAndOfBothLayoutsWork()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, text);
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    chooseFirstHit();
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    QVERIFY(QTest::qWaitFor([this] { return QApplication::activeWindow() == normWindow(); }));
    for (const QTest::KeyAction action : {QTest::Press, QTest::Release})
        QTest::sendKeyEvent(action, QApplication::focusWidget(), keys.key(), text,
                            keys.keyboardModifiers());
    // «Расчет» is pressed as by a click, a moment later; the field keeps its text.
    QTRY_VERIFY(text.isEmpty() ? m_driver->window().bill().window() != nullptr
                               : normWindow()->computation().has_value());
    QCOMPARE(part<QLineEdit>("NormVolume")->text(), QStringLiteral("25"));
}

void NormWindowTest::renderNormWindow()
{
    QVERIFY(importFromMenu({writeFile(QStringLiteral("ГЭСН.xml"), kFootingsBase)}));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    chooseFirstHit();
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    QTest::mouseClick(part("NormCompute"), Qt::LeftButton);
    // The captions just rewritten are laid out before the picture is taken.
    QTest::qWait(50);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(normWindow()->grab().toImage().save(folder + QStringLiteral("/norms.png")));

    // The collections tree, opened down to the norms of the first table.
    m_driver->pressAccelerator(u'с');
    auto *tree = part<QTreeView>("NormTree");
    QVERIFY(tree->isVisible());
    for (QModelIndex index = tree->model()->index(0, 0); index.isValid();
         index = tree->model()->index(0, 0, index))
        tree->expand(index);
    // Collection, Сборник, Раздел, Таблица, norm.
    QModelIndex place = tree->model()->index(0, 0);
    for (int depth = 0; depth < 4; ++depth)
        place = tree->model()->index(0, 0, place);
    QCOMPARE(place.data().toString(),
             QStringLiteral("06-01-001-02 Устройство бетонных фундаментов общего назначения "
                            "объемом: до 5 м3"));
    QVERIFY(normWindow()->grab().toImage().save(folder + QStringLiteral("/norms-tree.png")));
}

void NormWindowTest::rateTablesAreFoundAndReplaced()
{
    NormControl &control = m_driver->window().normControl();
    QAction *show = nullptr;
    for (QAction *action : m_driver->window().menuBar()->actions().front()->menu()->actions())
        if (action->text() == QStringLiteral("&Нормативы НР и СП..."))
            show = action;
    QVERIFY(show);
    show->trigger();
    RateTablesWindow *window = control.rateTablesWindow();
    QVERIFY(window && window->isVisible());
    const auto shown = [window] {
        QStringList lines;
        auto *rows = window->findChild<QTreeWidget *>(QStringLiteral("RateRows"));
        for (int index = 0; index < rows->topLevelItemCount(); ++index)
            if (!rows->topLevelItem(index)->isHidden())
                lines.append(rows->topLevelItem(index)->text(0) + u' ' +
                             rows->topLevelItem(index)->text(2) + u' ' +
                             rows->topLevelItem(index)->text(5));
        return lines;
    };
    const auto editions = [window] {
        return window->findChild<QLabel *>(QStringLiteral("RateEditions"))->text();
    };
    QCOMPARE(shown().size(), 136);
    QVERIFY2(editions().contains(QStringLiteral("№ 812/пр в ред. приказов от 02.09.2021 № 636/пр и "
                                                "от 26.07.2022 № 611/пр (редакция от 12.09.2022)")),
             qPrintable(editions()));
    m_driver->type(QStringLiteral("RateSearch"), QStringLiteral("кровл"));
    QCOMPARE(shown(), (QStringList{"012.0 109 57", "092.0 90 46"}));
    m_driver->type(QStringLiteral("RateSearch"), QStringLiteral("104"));
    QCOMPARE(shown(), (QStringList{"104.1 89 44", "104.2 74 36"}));

    // A broken edition is refused naming the file and the line; a good one is then in use.
    const QString broken =
        writeFile(QStringLiteral("broken.csv"), "item;name;percent\n012.0;Кровли;60\n013.0;Полы\n");
    const QString newer =
        writeFile(QStringLiteral("СП-2027.csv"), "item;name;percent\r\n104.1;Лифты;45,5\r\n");
    QString chosen = broken;
    window->setFileChooser([&chosen] { return chosen; });
    auto *load = window->findChild<QPushButton *>(QStringLiteral("RateLoad"));
    QTest::mouseClick(load, Qt::LeftButton);
    QCOMPARE(m_errors->messages(),
             QStringList{"Файл «broken.csv», строка 3: столбцов 2, а должно быть 3."});
    QCOMPARE(shown(), (QStringList{"104.1 89 44", "104.2 74 36"}));
    chosen = newer;
    QTest::mouseClick(load, Qt::LeftButton);
    QCOMPARE(m_errors->messages().size(), 1);
    QCOMPARE(shown(), (QStringList{"104.1 89 45,5", "104.2 74 "}));
    QVERIFY2(editions().contains(QStringLiteral("загружена из файла «СП-2027.csv»")),
             qPrintable(editions()));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    m_driver->type(QStringLiteral("RateSearch"), QString());
    QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/rate-tables.png")));
}

QTEST_MAIN(NormWindowTest)
#include "tst_normwindow.moc"
