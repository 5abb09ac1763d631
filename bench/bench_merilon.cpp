// Benchmarks: reading input numbers, writing result texts, appending to the journal panel of
// the real main window, saving a large journal, a bill of 10 000 entries (totals after an edit,
// its file, its workbook), start-up to the first painted window, and the import of a full-size
// norm base.
// Rates and ratios against their goals are worked out by scripts/bench from the RESULT lines.

#include "bill/billbook.h"
#include "bill/billfiles.h"
#include "bill/billmodels.h"
#include "bill/billreadings.h"
#include "bill/billwindow.h"
#include "billfile.h"
#include "billtexts.h"
#include "billxlsx.h"
#include "common/searchpause.h"
#include "estimatecompute.h"
#include "inputnumber.h"
#include "journal.h"
#include "journalfile.h"
#include "lsrfile.h"
#include "normimport.h"
#include "normimportbench.h"
#include "norms/normbase.h"
#include "norms/normwindow.h"
#include "normsample.h"
#include "normsearch.h"
#include "pricelistbench.h"
#include "resulttext.h"
#include "shell/appsetup.h"
#include "shell/tform1.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QLineEdit>
#include <QProcess>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Texts as users type them into the fields, with the comma of the Russian settings.
const QStringList kTypicalInputs = {
    QStringLiteral("12,5"),   QStringLiteral("0,38"),  QStringLiteral("7"),
    QStringLiteral("  3,2 "), QStringLiteral("1500"),  QStringLiteral("0,0025"),
    QStringLiteral("2,5E-2"), QStringLiteral("-1,75"),
};

// Lines as the shell and the pages append them.
const QStringList kJournalLines = {
    QStringLiteral("Выбрано:  Кирпичная кладка 1,5 кирпича (380 мм.)"),
    QStringLiteral("Итоги произведенного расчета:"),
    QStringLiteral("Объем кладки, м3: 12,35"),
    QStringLiteral("Кирпич, шт: 4891"),
    QStringLiteral("Раствор, м3: 2,94"),
    QStringLiteral("Пробки деревянные, м3: 0,0062"),
    QStringLiteral("Перемещение: Подстилающие слои"),
};

QStringList journalOf(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(kJournalLines[i % kJournalLines.size()]);
    return lines;
}

// The yardstick for saving: the same bytes, encoded line by line and written through a
// 64 KiB buffer, with no temporary file, no sync and no rename.
bool writePlain(const QStringList &lines, const QString &path)
{
    constexpr qsizetype kBufferSize = 64 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    QStringEncoder encoder("windows-1251");
    QByteArray buffer;
    buffer.reserve(kBufferSize + 1024);
    const auto flushIfFull = [&](qsizetype limit) {
        if (buffer.size() < limit)
            return true;
        const bool written = file.write(buffer) == buffer.size();
        buffer.clear();
        return written;
    };
    for (const QString &line : lines) {
        buffer += encoder.encode(line);
        buffer += "\r\n";
        if (!flushIfFull(kBufferSize))
            return false;
    }
    buffer += "\r\n";
    return flushIfFull(0) && !encoder.hasError();
}

// A bill of an object of many parts: entries of the pages' kinds, with their materials.
bom::Bill billOf(int entries)
{
    const char *const materials[][2] = {
        {"Объем кирпичной кладки", "м3"},
        {"Кирпич глиняный обыкновенный", "шт."},
        {"Раствор", "м3"},
        {"Пробки деревянные", "м3"},
        {"Бетон", "м3"},
        {"Щиты опалубки 25 мм.", ""},
        {"Доски 40 мм", ""},
        {"Гвозди строительные 100 мм", ""},
        {"Олифа", "кг"},
        {"Краски тертые", "кг"},
        {"Песок", "м3"},
        {"Щебень", "м3"},
        {"Битум БН-60/90", "кг"},
        {"Бревна 180 мм.", "м3"},
        {"Доски 19-22 мм", "м3"},
        {"Семена трав", "кг"},
    };
    constexpr int kKinds = int(std::size(materials));
    bom::Bill bill;
    bill.entries.reserve(entries);
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);
    for (int i = 0; i < entries; ++i) {
        bom::Entry entry;
        entry.added = start.addSecs(i);
        entry.work = QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)");
        entry.inputs = QStringLiteral("Длина стены по периметру %1 м; Высота стены по периметру "
                                      "2,7 м; Толщина кладки 0,38 м")
                           .arg(i % 40 + 1);
        for (int m = 0; m < 4 + i % 5; ++m) {
            const auto &material = materials[(i * 3 + m) % kKinds];
            entry.materials.append(bom::material(
                QString::fromUtf8(material[0]), QString::fromUtf8(material[1]),
                m == 6 ? std::nullopt : std::optional<double>(0.37 * (i % 97) + m * 1.25)));
        }
        bill.entries.append(entry);
    }
    for (int k = 0; k < kKinds; k += 2)
        bill.terms.insert(
            bom::material(QString::fromUtf8(materials[k][0]), QString::fromUtf8(materials[k][1]),
                          std::nullopt)
                .key,
            bom::Terms{5, k % 4 == 0 ? std::optional<double>(2.5) : std::nullopt, 12345 + k,
                       k % 4 == 0 ? bom::PriceBasis::PerPack : bom::PriceBasis::PerUnit});
    return bill;
}

constexpr int kBillEntries = 10000;

} // namespace

class MerilonBench : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void inputNumberReads_data();
    void inputNumberReads();
    void resultTextWrites_data();
    void resultTextWrites();

    void journalAppend100k_data();
    void journalAppend100k();

    void journalSave1M_data();
    void journalSave1M();

    void billTotalsAfterEdit();
    void billAddWithUndo();
    void billFile_data();
    void billFile();
    void billXlsx();

    void startUpToFirstPaint_data();
    void startUpToFirstPaint();
    void startUpPeakMemory_data();
    void startUpPeakMemory();

    void normImport_data();
    void normImport();
    void normImportPeakMemory();
    void normSearch();
    void normSearchSharedWords_data();
    void normSearchSharedWords();
    void normWindowOpen();

    void priceImport_data();
    void priceImport();
    void priceImportPeakMemory();

    void estimateCompute();
    void estimateExport();

private:
    // The full-size base imported once, for the search and the window.
    QString fullSizeDatabase();
    // 45 120 norms whose names share 40 words, imported once.
    QString sharedWordsDatabase();

    QTemporaryDir m_folder;
    QHash<QString, qreal> m_bareStartUp;
    qint64 m_importPeakKib = 0;
    qint64 m_priceImportPeakKib = 0;
};

void MerilonBench::initTestCase()
{
    QVERIFY(m_folder.isValid());
    setUpApplication();
}

void MerilonBench::inputNumberReads_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("typical field texts") << kTypicalInputs;
    QTest::newRow("40 digits and an exponent")
        << QStringList{QStringLiteral("1234567890123456789012345678901234,567890E-12")};
    QTest::newRow("conversion error") << QStringList{QStringLiteral("12,5x")};
}

// One read per iteration; the texts take turns.
void MerilonBench::inputNumberReads()
{
    QFETCH(QStringList, texts);
    qsizetype next = 0;
    calc::Extended sum = 0;
    QBENCHMARK
    {
        try {
            sum += calc::readInputNumber(texts[next], u',');
        } catch (const calc::CalcError &) {
            sum += 1;
        }
        next = next + 1 == texts.size() ? 0 : next + 1;
    }
    QVERIFY(sum != 0);
}

void MerilonBench::resultTextWrites_data()
{
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("exponentDigits");
    QTest::newRow("P4 D3") << 4 << 3;
    QTest::newRow("P5 D4") << 5 << 4;
    QTest::newRow("P10 D1") << 10 << 1;
}

// One write per iteration over values from the fixed and both exponent ranges.
void MerilonBench::resultTextWrites()
{
    QFETCH(int, precision);
    QFETCH(int, exponentDigits);
    const std::vector<calc::Extended> values = {12.35L,   4891.0L,   2.94L,      0.0062L,
                                                0.00005L, 260000.0L, 1234.5678L, -7.5L};
    std::size_t next = 0;
    qsizetype length = 0;
    QBENCHMARK
    {
        length += calc::resultText(values[next], {precision, exponentDigits}, u',').size();
        next = next + 1 == values.size() ? 0 : next + 1;
    }
    QVERIFY(length > 0);
}

void MerilonBench::journalAppend100k_data()
{
    QTest::addColumn<int>("linesPerEventLoopTurn");
    QTest::newRow("one batch") << 100000;
    QTest::newRow("event loop turn per 5-line block") << 5;
}

// The real window, shown: every append goes to the journal and into its panel, and the panel
// lays out and paints what it got at the event loop turns.
void MerilonBench::journalAppend100k()
{
    QFETCH(int, linesPerEventLoopTurn);
    constexpr int kLines = 100000;
    const QStringList lines = journalOf(kLines);
    TForm1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QBENCHMARK_ONCE
    {
        for (int i = 0; i < kLines; ++i) {
            window.journal().append(lines[i]);
            if ((i + 1) % linesPerEventLoopTurn == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    }
    QCOMPARE(window.journal().lines().size(), kLines + 1);
}

void MerilonBench::journalSave1M_data()
{
    QTest::addColumn<bool>("journalFile");
    QTest::newRow("journalfile::write") << true;
    QTest::newRow("QFile with 64 KiB buffer") << false;
}

void MerilonBench::journalSave1M()
{
    QFETCH(bool, journalFile);
    static const QStringList lines = journalOf(1000000);
    const QString path = m_folder.filePath(QStringLiteral("journal.txt"));
    QBENCHMARK
    {
        if (journalFile)
            QVERIFY(!journalfile::write(lines, path));
        else
            QVERIFY(writePlain(lines, path));
    }
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), journalfile::encode(lines));
}

// A price typed into the shown bill's totals: the totals worked out again and the view told.
void MerilonBench::billTotalsAfterEdit()
{
    BillBook book;
    book.replace(billOf(kBillEntries), QString());
    BillReadings readings(book);
    BillFiles files(book, nullptr);
    BillWindow window(book, readings, files);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QAbstractItemModel *totals =
        window.findChild<QTableView *>(QStringLiteral("BillTotals"))->model();
    const QModelIndex price = totals->index(1, billtexts::UnitPrice);
    int edit = 0;
    QBENCHMARK
    {
        QVERIFY(totals->setData(price, QString::number(100 + edit++ % 50), Qt::EditRole));
        QCoreApplication::processEvents();
    }
}

// Ctrl+D on a bill of many entries: the undo step kept, the totals worked out again.
void MerilonBench::billAddWithUndo()
{
    BillBook book;
    book.replace(billOf(kBillEntries), QString());
    // The program reads what new entries bring of the norm base as they come.
    BillReadings readings(book);
    const bom::Entry entry = book.bill().entries.front();
    QBENCHMARK
    {
        book.add(entry);
    }
    QVERIFY(book.undoStack()->canUndo());
}

void MerilonBench::billFile_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("save") << QStringLiteral("save");
    QTest::newRow("open") << QStringLiteral("open");
    QTest::newRow("plain JSON parse") << QStringLiteral("parse");
}

void MerilonBench::billFile()
{
    QFETCH(QString, operation);
    static const bom::Bill bill = billOf(kBillEntries);
    const QString path = m_folder.filePath(QStringLiteral("bill.merilon-bom"));
    QVERIFY(!billfile::write(bill, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QBENCHMARK
    {
        if (operation == u"save") {
            QVERIFY(!billfile::write(bill, path));
        } else if (operation == u"open") {
            const billfile::Reading reading = billfile::read(path);
            QVERIFY(reading.bill && reading.bill->entries.size() == kBillEntries);
        } else {
            // The yardstick: the same bytes only parsed, not checked or turned into a bill.
            QFile plain(path);
            QVERIFY(plain.open(QIODevice::ReadOnly));
            QVERIFY(QJsonDocument::fromJson(plain.readAll()).isObject());
        }
    }
}

void MerilonBench::billXlsx()
{
    const bom::Bill bill = billOf(kBillEntries);
    const bom::Totals totals = bom::computeTotals(bill);
    const QString path = m_folder.filePath(QStringLiteral("bill.xlsx"));
    QBENCHMARK
    {
        QVERIFY(!billxlsx::write(bill, totals, path));
    }
}

namespace {

struct StartUp
{
    qreal milliseconds = -1;
    qint64 peakKib = -1;
};

// One start of a program that exits after its first paint, in a scratch folder, on the given
// platform (and X display). ru_maxrss survives fork and exec (Linux hands the parent's resident
// size over as a floor), so a start whose memory counts is launched from a small shell, not
// from this big process.
StartUp startOnce(const QString &program, const QString &folder, const QString &platform,
                  const QString &display = QString(), bool forMemory = false)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    if (forMemory)
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), QStringLiteral("\"$0\" & wait $!"), program});
    else
        process.start(program, {});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    StartUp result;
    result.milliseconds = timer.nsecsElapsed() / 1e6;
    const QByteArray output = process.readAllStandardOutput();
    const qsizetype at = output.indexOf("maxrss_kib ");
    if (at >= 0)
        result.peakKib = output.mid(at + 11).trimmed().toLongLong();
    return result;
}

const QString kMerilon = QStringLiteral(STARTUP_DIR "/startup_merilon");
const QString kBare = QStringLiteral(STARTUP_DIR "/startup_bare");

qreal median(std::vector<qreal> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A virtual X server on a display number it picks itself, for the life of the object.
class VirtualScreen
{
public:
    VirtualScreen()
    {
        m_server.setProgram(QStringLiteral("Xvfb"));
        m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                               QStringLiteral("-screen"), QStringLiteral("0"),
                               QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
        m_server.start();
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.contains('\n'))
            m_display = u':' + QString::fromLatin1(number.trimmed());
    }
    ~VirtualScreen()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

} // namespace

void MerilonBench::startUpToFirstPaint_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("merilon");
    QTest::newRow("offscreen merilon") << QStringLiteral("offscreen") << true;
    QTest::newRow("offscreen bare QMainWindow") << QStringLiteral("offscreen") << false;
    QTest::newRow("xcb merilon") << QStringLiteral("xcb") << true;
    QTest::newRow("xcb bare QMainWindow") << QStringLiteral("xcb") << false;
}

// The median of a dozen starts, from launching the process to its exit after the first paint.
// The program and the bare window take turns, so that both meet the same machine load; the
// first row of a platform measures both and the second reports the bare window's.
void MerilonBench::startUpToFirstPaint()
{
    QFETCH(QString, platform);
    QFETCH(bool, merilon);
    constexpr int kRuns = 12;
    if (merilon) {
        std::unique_ptr<VirtualScreen> screen;
        if (platform == u"xcb") {
            screen = std::make_unique<VirtualScreen>();
            if (screen->display().isEmpty())
                QSKIP("Xvfb did not start");
        }
        const QString display = screen ? screen->display() : QString();
        // Warms the file cache, as a second start would be.
        startOnce(kMerilon, m_folder.path(), platform, display);
        startOnce(kBare, m_folder.path(), platform, display);
        std::vector<qreal> program, bare;
        for (int i = 0; i < kRuns; ++i) {
            for (const bool first : {true, false}) {
                const QString &which = first ? kMerilon : kBare;
                const StartUp run = startOnce(which, m_folder.path(), platform, display);
                QVERIFY2(run.milliseconds >= 0, qPrintable(which + QStringLiteral(" failed")));
                (first ? program : bare).push_back(run.milliseconds);
            }
        }
        m_bareStartUp[platform] = median(bare);
        QTest::setBenchmarkResult(median(program), QTest::WalltimeMilliseconds);
    } else {
        if (!m_bareStartUp.contains(platform))
            QSKIP("measured with the program's row");
        QTest::setBenchmarkResult(m_bareStartUp.value(platform), QTest::WalltimeMilliseconds);
    }
}

void MerilonBench::startUpPeakMemory_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("merilon") << kMerilon;
    QTest::newRow("bare QMainWindow") << kBare;
}

// Peak resident memory (ru_maxrss) of a start to the first paint, reported as bytes.
void MerilonBench::startUpPeakMemory()
{
    QFETCH(QString, program);
    const StartUp run =
        startOnce(program, m_folder.path(), QStringLiteral("offscreen"), QString(), true);
    QVERIFY(run.peakKib > 0);
    QTest::setBenchmarkResult(qreal(run.peakKib) * 1024, QTest::BytesAllocated);
}

void MerilonBench::normImport_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("bare QXmlStreamReader pass") << QStringLiteral("bare");
    QTest::newRow("merilon --import-norms") << QStringLiteral("import");
    QTest::newRow("same again over the base") << QStringLiteral("again");
}

// The best of three runs each, the files cached: the import of the norm base and the materials'
// price catalogue into a new database against a pass of Qt's reader alone over the same files,
// and an import that replaces the collections it made.
void MerilonBench::normImport()
{
    QFETCH(QString, what);
    const QStringList files{normimportbench::fullSizeBase(m_folder.path()),
                            normimportbench::fullSizeCatalogue(m_folder.path())};
    QVERIFY(!files.contains(QString()));
    const QString folder = m_folder.filePath(QStringLiteral("import"));
    double best = -1;
    for (int run = 0; run < (what == u"again" ? 1 : 3); ++run) {
        double milliseconds = -1;
        if (what == u"bare") {
            milliseconds = normimportbench::bareReadMilliseconds(files);
        } else {
            if (what == u"import")
                QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            const normimportbench::ImportRun imported =
                normimportbench::importWithProgram(QStringLiteral(MERILON_PROGRAM), folder, files);
            QVERIFY2(imported.milliseconds >= 0, qPrintable(imported.output));
            QVERIFY2(imported.output.contains(QStringLiteral("норм 45000, строк ресурсов 450000, "
                                                             "позиций каталога 150012")),
                     qPrintable(imported.output));
            milliseconds = imported.milliseconds;
            m_importPeakKib = std::max(m_importPeakKib, imported.peakKib);
        }
        QVERIFY(milliseconds >= 0);
        best = best < 0 ? milliseconds : std::min(best, milliseconds);
    }
    QTest::setBenchmarkResult(best, QTest::WalltimeMilliseconds);
}

// The largest resident size of the import processes measured above, reported as bytes.
void MerilonBench::normImportPeakMemory()
{
    if (m_importPeakKib == 0)
        QSKIP("no import measured, or no /usr/bin/time to measure it");
    QTest::setBenchmarkResult(qreal(m_importPeakKib) * 1024, QTest::BytesAllocated);
}

QString MerilonBench::fullSizeDatabase()
{
    const QString path = m_folder.filePath(QStringLiteral("searched/norms.db"));
    if (QFile::exists(path))
        return path;
    const QString file = normimportbench::fullSizeBase(m_folder.path());
    const norms::ImportResult result = norms::importFiles(path, {file});
    return result.outcome == norms::ImportResult::Outcome::Imported ? path : QString();
}

// Search as the user types it: every query below is one keystroke's state of the field, from a
// first letter (the widest) to whole codes. The 95th percentile of all of them, best of three
// rounds.
void MerilonBench::normSearch()
{
    const QString path = fullSizeDatabase();
    QVERIFY(!path.isEmpty());
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(path);
    QVERIFY(opened.database);
    QStringList queries;
    for (const QString typed : {QStringLiteral("бетон фунд"), QStringLiteral("кладка стен нар"),
                                QStringLiteral("кровл скат"), QStringLiteral("устр стяж цем"),
                                QStringLiteral("ГЭСН 06-01-001-01"), QStringLiteral("11-02-003")}) {
        for (qsizetype length = 1; length <= typed.size(); ++length)
            queries.append(typed.left(length));
    }
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
        for (const QString &query : queries) {
            QElapsedTimer timer;
            timer.start();
            const QList<norms::NormHit> hits = norms::searchNorms(*opened.database, query);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            QVERIFY(hits.size() <= 200);
        }
    }
    std::sort(times.begin(), times.end());
    QTest::setBenchmarkResult(times[times.size() * 95 / 100], QTest::WalltimeMilliseconds);
}

QString MerilonBench::sharedWordsDatabase()
{
    const QString path = m_folder.filePath(QStringLiteral("shared/norms.db"));
    if (QFile::exists(path))
        return path;
    const QString file = m_folder.filePath(QStringLiteral("ГЭСН-общие-слова.xml"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    normsample::BaseShape shape;
    shape.norms = 45120;
    shape.sharedWords = true;
    normsample::writeBase(out, shape);
    out.close();
    const norms::ImportResult result = norms::importFiles(path, {file});
    return result.outcome == norms::ImportResult::Outcome::Imported ? path : QString();
}

void MerilonBench::normSearchSharedWords_data()
{
    QTest::addColumn<bool>("byResource");
    QTest::addColumn<QStringList>("typed");
    QTest::newRow("by code and name")
        << false
        << QStringList{"бетон фунд",          "кладка кирп стен",     "монтаж конструкций металлич",
                       "устройство стяж цем", "облицовка плит керам", "разборка перегор"};
    QTest::newRow("by resource") << true
                                 << QStringList{"смес бетон тяж", "гвозд строит", "кирпич керам",
                                                "раствор цем",    "01.7.15.06",   "песок прир"};
}

// Each keystroke as the window answers it, on a base whose names share a small vocabulary:
// the field's text set, the search run and the list filled. The 95th percentile of every
// keystroke of six queries, three rounds.
void MerilonBench::normSearchSharedWords()
{
    QFETCH(bool, byResource);
    QFETCH(QStringList, typed);
    const QString path = sharedWordsDatabase();
    QVERIFY(!path.isEmpty());
    Journal journal;
    NormBase base(path);
    NormWindow window(base, journal);
    auto *field = window.findChild<QLineEdit *>(QStringLiteral("NormSearch"));
    auto *mode = window.findChild<QComboBox *>(QStringLiteral("NormSearchMode"));
    // The search waits for a pause in the typing; each key is timed as if the pause had come.
    auto *pause = window.findChild<SearchPause *>();
    QVERIFY(field && mode && pause);
    mode->setCurrentIndex(byResource ? 1 : 0);
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
        for (const QString &query : typed) {
            for (qsizetype length = 1; length <= query.size(); ++length) {
                QElapsedTimer timer;
                timer.start();
                field->setText(query.left(length));
                pause->flush();
                times.push_back(double(timer.nsecsElapsed()) / 1e6);
            }
            field->clear();
        }
    }
    std::sort(times.begin(), times.end());
    if (qEnvironmentVariableIsSet("MERILON_BENCH_DETAIL")) {
        // The search alone, each keystroke, to tell it from the list's filling.
        for (const QString &query : typed)
            for (qsizetype length = 1; length <= query.size(); ++length) {
                QElapsedTimer timer;
                timer.start();
                const qsizetype found =
                    byResource
                        ? norms::searchByResource(*base.database(), query.left(length)).size()
                        : norms::searchNorms(*base.database(), query.left(length)).size();
                qInfo("%s: %.2f ms, %lld", qPrintable(query.left(length)),
                      double(timer.nsecsElapsed()) / 1e6, qlonglong(found));
            }
    }
    QTest::setBenchmarkResult(times[times.size() * 95 / 100], QTest::WalltimeMilliseconds);
}

// From the menu's command to the window painted, with the full-size base: the database opened,
// the collections read, the window laid out and drawn. Median of five.
void MerilonBench::normWindowOpen()
{
    const QString path = fullSizeDatabase();
    QVERIFY(!path.isEmpty());
    Journal journal;
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        NormBase base(path);
        NormWindow window(base, journal);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.grab();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    QTest::setBenchmarkResult(times[times.size() / 2], QTest::WalltimeMilliseconds);
}

void MerilonBench::priceImport_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("bare streaming read of the sheet") << QStringLiteral("bare");
    QTest::newRow("merilon --import-prices") << QStringLiteral("import");
}

// The best of three runs each: the import of a Moscow-sized split form (280 000 rows) into a new
// base against the workbook reader's own pass over the same sheet.
void MerilonBench::priceImport()
{
    QFETCH(QString, what);
    const QString file = pricelistbench::fullSizeSplitForm(m_folder.path());
    QVERIFY(!file.isEmpty());
    const QString folder = m_folder.filePath(QStringLiteral("prices"));
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        double milliseconds = -1;
        if (what == u"bare") {
            milliseconds = pricelistbench::bareReadMilliseconds(file);
        } else {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            const normimportbench::ImportRun imported = normimportbench::importWithProgram(
                QStringLiteral(MERILON_PROGRAM), folder, {file}, QStringLiteral("--import-prices"));
            QVERIFY2(imported.milliseconds >= 0, qPrintable(imported.output));
            QVERIFY2(imported.output.contains(QStringLiteral("строк 280\u00a0000, ")),
                     qPrintable(imported.output));
            milliseconds = imported.milliseconds;
            m_priceImportPeakKib = std::max(m_priceImportPeakKib, imported.peakKib);
        }
        QVERIFY(milliseconds >= 0);
        best = best < 0 ? milliseconds : std::min(best, milliseconds);
    }
    QTest::setBenchmarkResult(best, QTest::WalltimeMilliseconds);
}

void MerilonBench::priceImportPeakMemory()
{
    if (m_priceImportPeakKib == 0)
        QSKIP("no import measured, or no /usr/bin/time to measure it");
    QTest::setBenchmarkResult(qreal(m_priceImportPeakKib) * 1024, QTest::BytesAllocated);
}

namespace {

// A local estimate of 1 000 norm entries and its snapshot of the norm base: ten norms of eight
// lines, two machines with their machinists, a labour total with its grades, a mix «по проекту»,
// prices by index.
struct EstimateFixture
{
    bom::Bill bill;
    lsr::Pricing pricing;
};

EstimateFixture estimateOfThousand()
{
    lsr::Pricing pricing;
    pricing.listName = QStringLiteral("Москва, 2 кв. 2026");
    pricing.list = {QStringLiteral("г. Москва"), QStringLiteral("г. Москва"), 2026, 2};
    const auto line = [](const char *code, std::optional<double> rate) {
        norms::NormResource resource = norms::storedLine(
            QString::fromLatin1(code), QStringLiteral("Ресурс"), QStringLiteral("т"), std::nullopt);
        resource.rate = rate;
        return resource;
    };
    const auto price = [&pricing](const char *code, double value, bool indexed) {
        norms::ResourcePrice listed{value, QString(), norms::PriceKind::Current, {}, {}};
        if (indexed)
            listed = {value * 1.2766, QString(), norms::PriceKind::Indexed, value, 1.2766};
        pricing.prices.insert(QString::fromLatin1(code), listed);
    };
    for (const char *machine : {"91.05.01-017", "91.14.02-001"}) {
        norms::CatalogueResource resource;
        resource.code = QString::fromLatin1(machine);
        resource.machine = true;
        resource.cost = 1200.5;
        resource.machinistWage = 400.25;
        resource.machinistHours = 1;
        resource.driverCode = QStringLiteral("4-100-060");
        resource.machinistGrade = QStringLiteral("6.0");
        pricing.catalogue.insert(resource.code, resource);
        price(machine, 812.3, true);
    }
    price("4-100-060", 982.04, false);
    price("2-100-40", 650, false);
    price("3-100-50", 900, false);
    price("01.7.15.06-0111", 5310.4, true);
    price("04.1.02.05-0006", 6040, false);
    bom::Bill bill;
    bom::EstimateTerms terms;
    terms.number = QStringLiteral("02-01-01");
    terms.priceList = norms::priceListRef(pricing.list);
    for (int n = 0; n < 10; ++n) {
        norms::Norm norm;
        norm.prefix = n % 2 ? QStringLiteral("ГЭСНм") : QStringLiteral("ГЭСН");
        norm.code = QStringLiteral("06-01-001-%1").arg(n + 1, 2, 10, QChar(u'0'));
        norm.measure = QStringLiteral("100 м3");
        norm.resources = {line("1", 40),
                          line("2-100-40", 30),
                          line("3-100-50", 10),
                          line("2", 12),
                          line("91.05.01-017", 10),
                          line("91.14.02-001", 2),
                          line("01.7.15.06-0111", 102),
                          line("04.1.02.05", std::nullopt)};
        norm.reasons = {{QStringLiteral("Пр/812-006.0"), QStringLiteral("Пр/774-006.0")}};
        pricing.norms.insert(norm.fullCode(), norm);
    }
    for (int entry = 0; entry < 1000; ++entry) {
        bom::Entry made;
        made.normCode = QStringLiteral("ГЭСН 06-01-001-%1").arg(entry % 10 + 1, 2, 10, QChar(u'0'));
        made.normCode.replace(QStringLiteral("ГЭСН"),
                              entry % 2 ? QStringLiteral("ГЭСНм") : QStringLiteral("ГЭСН"));
        made.volume = {QStringLiteral("м3"), 37.5 + entry, QString()};
        bill.entries.append(made);
        terms.positions.append({entry,
                                made.normCode,
                                {},
                                {},
                                {{QStringLiteral("04.1.02.05"), QStringLiteral("04.1.02.05-0006"),
                                  QStringLiteral("Смесь"), QStringLiteral("м3"), 101.5}}});
    }
    bill.estimate = terms;
    return {bill, pricing};
}

} // namespace

// The estimate recomputed from its snapshot, as the estimate's window does after each change.
void MerilonBench::estimateCompute()
{
    const EstimateFixture fixture = estimateOfThousand();
    lsr::Estimate estimate;
    QBENCHMARK
    {
        estimate = lsr::compute(fixture.bill, fixture.pricing);
    }
    int positions = 0;
    for (const lsr::Section &section : estimate.sections)
        positions += int(section.positions.size());
    QCOMPARE(positions, 1000);
    QVERIFY(estimate.totals.total > 0);
}

// The same estimate written for expertise: its XML made and the file put in place.
void MerilonBench::estimateExport()
{
    const EstimateFixture fixture = estimateOfThousand();
    const lsr::Estimate estimate = lsr::compute(fixture.bill, fixture.pricing);
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("смета.gge"));
    const lsrfile::Meta meta{QStringLiteral("Мерилон 3"), QStringLiteral("3"),
                             QDateTime::currentDateTime()};
    QBENCHMARK
    {
        QVERIFY(!billfile::writeBytes(lsrfile::encode(estimate, meta), path,
                                      billfile::Writing::Export));
    }
    QVERIFY(QFileInfo(path).size() > 1'000'000);
}

QTEST_MAIN(MerilonBench)
#include "bench_merilon.moc"
