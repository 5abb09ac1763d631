#include "errorrecorder.h"
#include "journal.h"
#include "pages/calculatorpage.h"
#include "windowdriver.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

// What a user takes away from the program: explained figures, the journal as a PDF, and the
// results on the clipboard.
class TakeawayTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void figuresExplainTheirRates_data();
    void figuresExplainTheirRates();
    void pdfHoldsEveryJournalLine();
    void pdfOfALongJournalHasEveryLineOnce();
    void pdfToAMissingFolderIsReported();
    void copyTakesShownRowsOnly();

private:
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void TakeawayTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void TakeawayTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void TakeawayTest::figuresExplainTheirRates_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("explanation");
    QTest::newRow("masonry follows the node")
        << 4 << "" << -1 << "Label13"
        << "Кирпич глиняный обыкновенный = объем кладки × 394 шт./м3 (кладка 2,0 кирпича)";
    QTest::newRow("masonry mortar") << 2 << "" << -1 << "Label18"
                                    << "Раствор = объем кладки × 0,222 м3/м3 (кладка 1,0 кирпич)";
    QTest::newRow("painting, one coat")
        << 11 << "" << -1 << "Label64"
        << "Состав окрасочный = площадь × 18,7 кг на 100 м2 (один слой)";
    QTest::newRow("painting, two coats")
        << 11 << "RadioGroup3" << 1 << "Label72"
        << "Сурик железный тертый = площадь × 5,8 кг на 100 м2 (два слоя)";
    QTest::newRow("painting rags") << 11 << "RadioGroup3" << 0 << "Label74"
                                   << "Ветошь = площадь × 0,1 кг на 100 м2 (один слой)";
    QTest::newRow("grass seeds by hand")
        << 17 << "RadioGroup2" << 0 << "Label56"
        << "Семена трав = площадь × 0,02 кг/м2 (ЭСНиЕРс-01-07-013-1 «Посев газонных трав "
           "вручную»: 20 кг на 1000 м2)";
    QTest::newRow("grass turf not used by machines")
        << 17 << "RadioGroup2" << 1 << "Label54"
        << "Дерн — не используется: нет в материалах ЭСНиЕРс-01-07-014-1";
    QTest::newRow("underlay bitumen in kilograms") << 13 << "RadioGroup4" << 4 << "Label96"
                                                   << "Битум БН-60/90 = объем слоя × 78,5 кг/м3";
    QTest::newRow("underlay row outside the kind") << 13 << "RadioGroup4" << 0 << "Label92"
                                                   << "Щебень — не входит в выбранный вид работ";
    QTest::newRow("gates bars of the second lattice")
        << 9 << "RadioGroup6" << 5 << "Label126"
        << "Бруски 50-60 мм. = площадь × 3,6 м3 на 100 м2 ворот";
    QTest::newRow("tiles") << 15 << "RadioGroup5" << 1 << "Label110"
                           << "Плитки = длина × ширина × 24 шт./м2 (шестигранник)";
}

void TakeawayTest::figuresExplainTheirRates()
{
    QFETCH(int, place);
    QFETCH(QString, list);
    QFETCH(int, variant);
    QFETCH(QString, label);
    QFETCH(QString, explanation);
    m_driver->clickNode(place);
    if (!list.isEmpty())
        m_driver->pickVariant(list, variant);
    QCOMPARE(m_driver->widget(label)->toolTip(), explanation);
}

void TakeawayTest::pdfHoldsEveryJournalLine()
{
    m_driver->clickNode(11);
    m_driver->type(QStringLiteral("Edit13"), QStringLiteral("3,3"));
    m_driver->type(QStringLiteral("Edit14"), QStringLiteral("1,7"));
    m_driver->click(QStringLiteral("BitBtn6"));
    const QStringList before = m_driver->journal();

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("история.pdf"));
    m_driver->window().setPdfPathChooser([path] { return path; });
    m_driver->widget<QAction>(QStringLiteral("SaveJournalAsPdf"))->trigger();
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->journal(), before);
    QVERIFY(!QFile::exists(QStringLiteral("data/history.txt")));

    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QCOMPARE(text.exitCode(), 0);
    const QString extracted = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY(extracted.contains(QStringLiteral("Мерилон 3 — история расчетов")));
    for (const QString &line : before)
        QVERIFY2(extracted.contains(line.simplified()), qPrintable(line));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info.waitForFinished(30000));
    QHash<QString, QString> facts;
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            facts.insert(line.left(colon), line.mid(colon + 1).trimmed().remove(QChar(0xFEFF)));
    }
    QCOMPARE(facts.value(QStringLiteral("Title")), QStringLiteral("Мерилон 3 — история расчетов"));
    QCOMPARE(facts.value(QStringLiteral("Creator")), QStringLiteral("Мерилон 3"));
    QCOMPARE(facts.value(QStringLiteral("Page size")), QStringLiteral("595 x 842 pts (A4)"));

    // The heading is set in the bold face and the lines in the regular one: both faces are
    // embedded, and nothing else.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {path});
    QVERIFY(fonts.waitForFinished(30000));
    QCOMPARE(fonts.exitCode(), 0);
    QStringList faces;
    const QStringList rows = QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n');
    for (const QString &row : rows.mid(2)) {
        const QString name = row.section(u' ', 0, 0);
        if (!name.isEmpty())
            faces << name.section(u'+', -1);
    }
    faces.sort();
    QCOMPARE(faces, (QStringList{QStringLiteral("LiberationSans"),
                                 QStringLiteral("LiberationSans-Bold")}));
}

// A journal longer than a page goes on over the next pages, each line printed once.
void TakeawayTest::pdfOfALongJournalHasEveryLineOnce()
{
    constexpr int kLines = 150;
    for (int line = 1; line <= kLines; ++line)
        m_driver->window().journal().append(QStringLiteral("Строка номер %1.").arg(line));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("длинная.pdf"));
    m_driver->window().setPdfPathChooser([path] { return path; });
    m_driver->widget<QAction>(QStringLiteral("SaveJournalAsPdf"))->trigger();
    QCOMPARE(m_errors->messages(), QStringList());

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QCOMPARE(text.exitCode(), 0);
    const QString extracted = QString::fromUtf8(text.readAllStandardOutput());
    // pdftotext ends each page with a form feed.
    QVERIFY2(extracted.count(u'\f') >= 3, qPrintable(QString::number(extracted.count(u'\f'))));
    for (int line = 1; line <= kLines; ++line) {
        const QString expected = QStringLiteral("Строка номер %1.").arg(line);
        QVERIFY2(extracted.count(expected) == 1, qPrintable(expected));
    }
    // On paper the lines stay above the page's number: pdftotext -bbox gives each word's box.
    QProcess boxes;
    boxes.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    QVERIFY(boxes.waitForFinished(30000));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"[0-9.]+\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    const QStringList pageBoxes =
        QString::fromUtf8(boxes.readAllStandardOutput()).split(QStringLiteral("<page "));
    for (qsizetype page = 1; page < pageBoxes.size(); ++page) {
        double numberTop = 0, lowestLine = 0;
        for (const QRegularExpressionMatch &found : word.globalMatch(pageBoxes[page])) {
            if (found.captured(3) == QString::number(page))
                numberTop = std::max(numberTop, found.captured(1).toDouble());
            else
                lowestLine = std::max(lowestLine, found.captured(2).toDouble());
        }
        QVERIFY2(
            numberTop > 0 && lowestLine <= numberTop,
            qPrintable(QStringLiteral("page %1: %2 %3").arg(page).arg(lowestLine).arg(numberTop)));
    }
    // Each page ends with its number.
    const QStringList pages = extracted.split(u'\f', Qt::SkipEmptyParts);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        const QStringList lines = pages[page].trimmed().split(u'\n');
        QCOMPARE(lines.last().trimmed(), QString::number(page + 1));
    }
}

void TakeawayTest::pdfToAMissingFolderIsReported()
{
    m_driver->window().setPdfPathChooser([] { return QStringLiteral("нет такой папки/x.pdf"); });
    m_driver->widget<QAction>(QStringLiteral("SaveJournalAsPdf"))->trigger();
    QCOMPARE(m_errors->messages(), QStringList{QStringLiteral("Invalid filename.")});
    QCOMPARE(m_driver->journal(),
             QStringList{QStringLiteral("Ведеться история расчетов программы \"Мерилон 3\"")});
}

void TakeawayTest::copyTakesShownRowsOnly()
{
    m_driver->clickNode(13);
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 7);
    m_driver->click(QStringLiteral("Button1"));
    auto *results = m_driver->widget(QStringLiteral("GroupBox8"));
    auto *copy = results->findChild<QAction *>(QStringLiteral("CopyResults"));
    QVERIFY(copy);
    QCOMPARE(results->contextMenuPolicy(), Qt::ActionsContextMenu);
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Песок, куб. метр\t0,095\nЩебень, куб. метр\t0,17\n"
                            "Камень булыжный, м3\t0,74\n"));

    m_driver->clickNode(11);
    m_driver->type(QStringLiteral("Edit13"), QStringLiteral("5"));
    m_driver->type(QStringLiteral("Edit14"), QStringLiteral("2"));
    m_driver->click(QStringLiteral("BitBtn6"));
    auto *page = m_driver->widget<CalculatorPage>(QStringLiteral("TabSheet5"));
    QCOMPARE(page->shownResultsText().split(u'\n').first(),
             QStringLiteral("Площадь окрашиваемой поверхности, м2  -\t10"));
    m_driver->click(QStringLiteral("BitBtn5"));
    QCOMPARE(page->shownResultsText(), QString());
}

QTEST_MAIN(TakeawayTest)
#include "tst_takeaway.moc"
