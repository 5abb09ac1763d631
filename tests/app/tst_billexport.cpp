#include "bill/billprint.h"
#include "billcsv.h"
#include "billxlsx.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(bom::Head)
Q_DECLARE_METATYPE(bom::PriceBasis)

// The bill's workbook read back by a spreadsheet library, and its PDF read back as text.
class BillExportTest : public QObject
{
    Q_OBJECT

private slots:
    void workbookHoldsNumbersAndLiveFormulas();
    void failedExportKeepsThePreviousWorkbook();
    void cellTooLongForAWorkbookIsCut();
    void pdfHoldsTotalsAndEntries();
    void normCodesAndHoursAreExported();
    void headIsPrintedAndInTheWorkbook_data();
    void headIsPrintedAndInTheWorkbook();
    void noTotalsRowIsCutByAPageBreak();
    void signaturesEndTheDocument_data();
    void signaturesEndTheDocument();
    void cataloguePricesSayWhereTheyCameFrom();
    void quantityTooLargeIsNamedInEveryExport_data();
    void quantityTooLargeIsNamedInEveryExport();

private:
    static bom::Bill sampleBill();
    // A bill of many entries, each with a material whose name takes several lines of its cell
    // and starts with "А<n>" and ends with "Б<n>" (n of three digits).
    static bom::Bill longBill(int entries);
    // Every filled cell as "sheet!cell <tab> what is stored <tab> the value shown", and a tab and
    // its number format when that is not General.
    static QStringList readBack(const QString &path);
    // The PDF's text, a page each, its runs of white space made one.
    static QStringList pdfPages(const QString &path, bool layout = false);
};

bom::Bill BillExportTest::sampleBill()
{
    bom::Bill bill;
    bill.entries = {
        {QDateTime(QDate(2026, 12, 7), QTime(9, 5), Qt::UTC),
         QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)"),
         QStringLiteral("Длина стены по периметру 10 м"),
         {bom::material(QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт."),
                        4503),
          bom::material(QStringLiteral("Раствор"), QStringLiteral("м3"), 2.679)}},
        {QDateTime(QDate(2026, 12, 7), QTime(9, 7), Qt::UTC),
         QStringLiteral("Фундаменты под здания и сооружения"),
         QStringLiteral("Длина 2 м"),
         {bom::material(QStringLiteral("Бетон"), QStringLiteral("м3"), 1.8),
          bom::material(QStringLiteral("Смазка"), QString(), std::nullopt),
          bom::material(QStringLiteral("Бетонирование"), QStringLiteral("м3"), 1.8,
                        bom::MaterialKind::WorkVolume)}},
    };
    bill.terms.insert({QStringLiteral("Раствор"), QStringLiteral("м3")},
                      bom::Terms{5, 0.5, 420000, bom::PriceBasis::PerPack});
    bill.terms.insert({QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт.")},
                      bom::Terms{0, std::nullopt, 1850});
    return bill;
}

bom::Bill BillExportTest::longBill(int entries)
{
    bom::Bill bill;
    for (int i = 1; i <= entries; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 3, 10, QChar(u'0'));
        bill.entries.append(
            {QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC),
             QStringLiteral("Кладка перегородок"),
             QStringLiteral("Длина %1 м").arg(i),
             {bom::material(QStringLiteral("А%1 смесь сухая для кладки и штукатурки стен и "
                                           "перегородок из кирпича и блоков, мешки по 25 кг, "
                                           "партия Б%1")
                                .arg(n),
                            QStringLiteral("кг"), i)}});
    }
    return bill;
}

QStringList BillExportTest::pdfPages(const QString &path, bool layout)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               (layout ? QStringList{QStringLiteral("-layout")} : QStringList()) +
                   QStringList{path, QStringLiteral("-")});
    if (!text.waitForFinished(30000) || text.exitCode() != 0)
        qFatal("pdftotext could not read the PDF");
    // Every page ends with a form feed.
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    pages.removeLast();
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

QStringList BillExportTest::readBack(const QString &path)
{
    const char script[] = R"(
import sys, openpyxl
formulas = openpyxl.load_workbook(sys.argv[1])
values = openpyxl.load_workbook(sys.argv[1], data_only=True)
for sheet in formulas.worksheets:
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            shown = values[sheet.title][cell.coordinate].value
            shape = "" if cell.number_format == "General" else "\t" + cell.number_format
            print(f"{sheet.title}!{cell.coordinate}\t{cell.value!r}\t{shown!r}{shape}")
for sheet in formulas.worksheets:
    widths = [f"{letter}={int(dimension.width)}"
              for letter, dimension in sorted(sheet.column_dimensions.items())
              if dimension.customWidth]
    print(f"{sheet.title} widths\t{' '.join(widths)}")
)";
    QProcess python;
    // Debian's own interpreter, the one its python3-openpyxl package serves.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qFatal("openpyxl could not read the workbook: %s", python.readAllStandardError().data());
    return QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void BillExportTest::workbookHoldsNumbersAndLiveFormulas()
{
    const bom::Bill bill = sampleBill();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.xlsx"));
    QCOMPARE(billxlsx::write(bill, bom::computeTotals(bill), path), std::nullopt);
    // Bricks by the piece: 4503 × 18,50 = 83305,50. Mortar: 2,679 × 1,05 = 2,81295 m3 in
    // packs of 0,5 is 6 packs at 4200 a pack = 25200; together 108505,50. Concrete has no price:
    // its sum stays a formula with nothing to show yet. Grease has no figure: it is not bought,
    // only named below as having no rate.
    const QStringList expected = {
        "Итоги!A1\t'№ п/п'\t'№ п/п'",
        "Итоги!B1\t'Материал'\t'Материал'",
        "Итоги!C1\t'Ед.'\t'Ед.'",
        "Итоги!D1\t'Количество'\t'Количество'",
        "Итоги!E1\t'Запас, %'\t'Запас, %'",
        "Итоги!F1\t'С запасом'\t'С запасом'",
        "Итоги!G1\t'К закупке'\t'К закупке'",
        "Итоги!H1\t'Фасовка'\t'Фасовка'",
        "Итоги!I1\t'Упаковок'\t'Упаковок'",
        "Итоги!J1\t'Цена за ед., руб.'\t'Цена за ед., руб.'",
        "Итоги!K1\t'Цена упаковки, руб.'\t'Цена упаковки, руб.'",
        "Итоги!L1\t'Сумма, руб.'\t'Сумма, руб.'",
        "Итоги!A2\t1\t1",
        "Итоги!B2\t'Кирпич глиняный обыкновенный'\t'Кирпич глиняный обыкновенный'",
        "Итоги!C2\t'шт.'\t'шт.'",
        "Итоги!D2\t4503\t4503",
        "Итоги!E2\t0\t0",
        "Итоги!F2\t'=D2*(1+E2/100)'\t4503",
        "Итоги!G2\t'=ROUNDUP(F2,0)'\t4503\t0",
        "Итоги!J2\t18.5\t18.5\t#,##0.00",
        "Итоги!L2\t'=IF(ISNUMBER(J2),ROUND(G2*J2,2),\"\")'\t83305.5\t#,##0.00",
        "Итоги!A3\t2\t2",
        "Итоги!B3\t'Раствор'\t'Раствор'",
        "Итоги!C3\t'м3'\t'м3'",
        "Итоги!D3\t2.679\t2.679",
        "Итоги!E3\t5\t5",
        "Итоги!F3\t'=D3*(1+E3/100)'\t2.81295",
        "Итоги!G3\t'=IF(F3>0,ROUNDUP(F3,3-INT(LOG10(F3))),0)'\t2.813",
        "Итоги!H3\t0.5\t0.5",
        "Итоги!I3\t'=CEILING(G3/H3,1)'\t6\t0",
        "Итоги!K3\t4200\t4200\t#,##0.00",
        "Итоги!L3\t'=IF(AND(ISNUMBER(I3),ISNUMBER(K3)),I3*K3,\"\")'\t25200\t#,##0.00",
        "Итоги!A4\t3\t3",
        "Итоги!B4\t'Бетон'\t'Бетон'",
        "Итоги!C4\t'м3'\t'м3'",
        "Итоги!D4\t1.8\t1.8",
        "Итоги!E4\t0\t0",
        "Итоги!F4\t'=D4*(1+E4/100)'\t1.8",
        "Итоги!G4\t'=IF(F4>0,ROUNDUP(F4,3-INT(LOG10(F4))),0)'\t1.8",
        "Итоги!L4\t'=IF(ISNUMBER(J4),ROUND(G4*J4,2),\"\")'\tNone\t#,##0.00",
        "Итоги!B5\t'Итого'\t'Итого'",
        "Итоги!L5\t'=SUM(L2:L4)'\t108505.5\t#,##0.00",
        "Итоги!B6\t'без цены: 1'\t'без цены: 1'",
        "Итоги!B7\t'без нормы: 1'\t'без нормы: 1'",
        "Итоги!C7\t'Смазка'\t'Смазка'",
        "Записи!A1\t'Добавлено'\t'Добавлено'",
        "Записи!B1\t'Работа'\t'Работа'",
        "Записи!C1\t'Кол-во'\t'Кол-во'",
        "Записи!D1\t'Условия'\t'Условия'",
        "Записи!E1\t'Примечание'\t'Примечание'",
        "Записи!F1\t'Материал'\t'Материал'",
        "Записи!G1\t'Ед.'\t'Ед.'",
        "Записи!H1\t'Количество'\t'Количество'",
        "Записи!I1\t'Вид'\t'Вид'",
        "Записи!A2\tdatetime.datetime(2026, 12, 7, 12, 5)\tdatetime.datetime(2026, 12, 7, 12, 5)"
        "\tdd.mm.yyyy hh:mm",
        "Записи!B2\t'Кирпичная кладка 1,5 кирпича (380 мм.)'\t'Кирпичная кладка 1,5 кирпича (380 "
        "мм.)'",
        "Записи!C2\t1\t1",
        "Записи!D2\t'Длина стены по периметру 10 м'\t'Длина стены по периметру 10 м'",
        "Записи!F2\t'Кирпич глиняный обыкновенный'\t'Кирпич глиняный обыкновенный'",
        "Записи!G2\t'шт.'\t'шт.'",
        "Записи!H2\t4503\t4503",
        "Записи!A3\tdatetime.datetime(2026, 12, 7, 12, 5)\tdatetime.datetime(2026, 12, 7, 12, 5)"
        "\tdd.mm.yyyy hh:mm",
        "Записи!B3\t'Кирпичная кладка 1,5 кирпича (380 мм.)'\t'Кирпичная кладка 1,5 кирпича (380 "
        "мм.)'",
        "Записи!C3\t1\t1",
        "Записи!D3\t'Длина стены по периметру 10 м'\t'Длина стены по периметру 10 м'",
        "Записи!F3\t'Раствор'\t'Раствор'",
        "Записи!G3\t'м3'\t'м3'",
        "Записи!H3\t2.679\t2.679",
        "Записи!A4\tdatetime.datetime(2026, 12, 7, 12, 7)\tdatetime.datetime(2026, 12, 7, 12, 7)"
        "\tdd.mm.yyyy hh:mm",
        "Записи!B4\t'Фундаменты под здания и сооружения'\t'Фундаменты под здания и сооружения'",
        "Записи!C4\t1\t1",
        "Записи!D4\t'Длина 2 м'\t'Длина 2 м'",
        "Записи!F4\t'Бетон'\t'Бетон'",
        "Записи!G4\t'м3'\t'м3'",
        "Записи!H4\t1.8\t1.8",
        "Записи!A5\tdatetime.datetime(2026, 12, 7, 12, 7)\tdatetime.datetime(2026, 12, 7, 12, 7)"
        "\tdd.mm.yyyy hh:mm",
        "Записи!B5\t'Фундаменты под здания и сооружения'\t'Фундаменты под здания и сооружения'",
        "Записи!C5\t1\t1",
        "Записи!D5\t'Длина 2 м'\t'Длина 2 м'",
        "Записи!F5\t'Смазка'\t'Смазка'",
        "Записи!H5\t'—'\t'—'",
        "Записи!A6\tdatetime.datetime(2026, 12, 7, 12, 7)\tdatetime.datetime(2026, 12, 7, 12, 7)"
        "\tdd.mm.yyyy hh:mm",
        "Записи!B6\t'Фундаменты под здания и сооружения'\t'Фундаменты под здания и сооружения'",
        "Записи!C6\t1\t1",
        "Записи!D6\t'Длина 2 м'\t'Длина 2 м'",
        "Записи!F6\t'Бетонирование'\t'Бетонирование'",
        "Записи!G6\t'м3'\t'м3'",
        "Записи!H6\t1.8\t1.8",
        "Записи!I6\t'объем работ'\t'объем работ'",
        // Columns as wide as their texts need, in characters.
        "Итоги widths\tA=10 B=40 C=8 D=14 E=10 F=14 G=14 H=10 I=11 J=14 K=14 L=16",
        "Записи widths\tA=16 B=40 C=8 D=60 E=30 F=40 G=8 H=14 I=20",
    };
    QCOMPARE(readBack(path), expected);
}

void BillExportTest::failedExportKeepsThePreviousWorkbook()
{
    const bom::Bill bill = sampleBill();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.xlsx"));
    QCOMPARE(billxlsx::write(bill, bom::computeTotals(bill), path), std::nullopt);
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    const QByteArray before = previous.readAll();
    previous.close();

    // The disk runs out of room halfway: a file size limit stops the write, even for root.
    bom::Bill larger = bill;
    for (int i = 0; i < 200; ++i)
        larger.entries.append(bill.entries);
    struct rlimit limit;
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const struct rlimit small = {rlim_t(before.size() / 2), limit.rlim_max};
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    const std::optional<QString> failure =
        billxlsx::write(larger, bom::computeTotals(larger), path);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, oldHandler);
    QVERIFY(failure);
    QVERIFY2(failure->startsWith(QStringLiteral("Ведомость не выгружена в XLSX: ")),
             qPrintable(*failure));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("ведомость.xlsx")});
    // An export is no save: its failure names the file not written, and why.
    QVERIFY(previous.setPermissions(QFile::ReadOwner));
    QCOMPARE(billxlsx::write(bill, bom::computeTotals(bill), path),
             QStringLiteral("Ведомость не экспортирована в файл «%1»: файл защищен от записи.")
                 .arg(path));
}

// A cell holds at most 32767 characters; a longer text (a field's text can be that long) is cut
// there, and the rest of the workbook is written as usual.
void BillExportTest::cellTooLongForAWorkbookIsCut()
{
    bom::Bill bill = sampleBill();
    bill.entries.last().inputs = QString(40000, u'д');
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.xlsx"));
    QCOMPARE(billxlsx::write(bill, bom::computeTotals(bill), path), std::nullopt);
    const QStringList cells = readBack(path);
    const QString cut = QStringLiteral("Записи!D4\t'") + QString(32767, u'д') + u'\'';
    QVERIFY(std::any_of(cells.cbegin(), cells.cend(),
                        [&cut](const QString &cell) { return cell.startsWith(cut + u'\t'); }));
    QVERIFY(cells.contains(QStringLiteral("Записи!F5\t'Смазка'\t'Смазка'")));
}

void BillExportTest::pdfHoldsTotalsAndEntries()
{
    const bom::Bill bill = sampleBill();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.pdf"));
    QCOMPARE(billprint::writePdf(path, bill, bom::computeTotals(bill), QStringLiteral("07.12.2026"),
                                 QStringLiteral("12:10:00")),
             std::nullopt);
    const QString extracted = pdfPages(path, true).join(u' ');
    // Each table starts with its headings, the first one included.
    QCOMPARE(extracted.count(QStringLiteral("Материал")), 2);
    for (const char *expected :
         {"Мерилон 3 — ведомость материалов", "Дата: 07.12.2026", "Итоги", "Примечание", "Упаковок",
          "2 Раствор м3 2,679 5 2,81295 2,813 0,5 6 4 200,00 25 200,00",
          "1 Кирпич глиняный обыкновенный шт. 4503 0 4503 4503 18,50 83 305,50",
          "Итого: 108 505,50 руб. (без цены: 1)", "без нормы: 1 — Смазка", "Записи",
          "2 Фундаменты под здания и сооружения Длина 2 м Бетон 1,8 м3",
          "Напечатано 07.12.2026 12:10:00"})
        QVERIFY2(extracted.contains(QString::fromUtf8(expected)), expected);
    QCOMPARE(billprint::writePdf(folder.filePath(QStringLiteral("нет/x.pdf")), bill,
                                 bom::computeTotals(bill), QString(), QString()),
             QStringLiteral("Ведомость не экспортирована в файл «%1»: нет папки «%2».")
                 .arg(folder.filePath(QStringLiteral("нет/x.pdf")),
                      folder.filePath(QStringLiteral("нет"))));
}

// A norm's computation in both exports: the code before the material, the hours below the
// totals with their sums.
void BillExportTest::normCodesAndHoursAreExported()
{
    const QString norm = QStringLiteral("ГЭСН 06-01-001-01");
    bom::Bill bill;
    bill.entries = {
        {QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC),
         norm,
         QString(),
         {bom::material(QStringLiteral("Затраты труда"), QStringLiteral("чел.-ч"), 45.5,
                        bom::MaterialKind::Labour, {}, norm, QStringLiteral("1-100-20")),
          bom::material(QStringLiteral("Бетон"), QStringLiteral("м3"), 25.5, bom::MaterialKind::Buy,
                        {}, norm, QStringLiteral("01.7.15.06-0111"))},
         2}};
    const bom::Totals totals = bom::computeTotals(bill);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("норма.pdf"));
    QCOMPARE(billprint::writePdf(pdf, bill, totals, QString(), QString()), std::nullopt);
    const QString printed = pdfPages(pdf, true).join(u' ');
    for (const char *expected : {"1 01.7.15.06-0111 Бетон м3 51 0 51 51", "Затраты труда и машин",
                                 "1 1-100-20 Затраты труда чел.-ч 91", "Затраты труда, чел.-ч: 91"})
        QVERIFY2(printed.contains(QString::fromUtf8(expected)), expected);
    if (!billxlsx::available())
        return;
    const QString workbook = folder.filePath(QStringLiteral("норма.xlsx"));
    QCOMPARE(billxlsx::write(bill, totals, workbook), std::nullopt);
    const QStringList cells = readBack(workbook);
    // The code shifts the formulas one column; the hours stand under code, name, unit, quantity.
    for (const char *expected :
         {"Итоги!B2\t'01.7.15.06-0111'\t'01.7.15.06-0111'",
          "Итоги!M2\t'=IF(ISNUMBER(K2),ROUND(H2*K2,2),\"\")'\tNone\t#,##0.00",
          "Итоги!B8\t'1-100-20'\t'1-100-20'", "Итоги!E8\t91\t91",
          "Итоги!C9\t'Затраты труда, чел.-ч'\t'Затраты труда, чел.-ч'", "Итоги!E9\t91\t91",
          "Записи!F2\t'1-100-20'\t'1-100-20'"})
        QVERIFY2(cells.contains(QString::fromUtf8(expected)), expected);
}

void BillExportTest::headIsPrintedAndInTheWorkbook_data()
{
    QTest::addColumn<bom::Head>("head");
    QTest::addColumn<QString>("printed");   // between the title and the totals
    QTest::addColumn<QStringList>("cells"); // the sheet's cells above the totals' headings
    QTest::addColumn<QString>("headings");  // where those start
    QTest::newRow("every field")
        << bom::Head{QStringLiteral("Жилой дом"),
                     QStringLiteral("ООО «Стройинвест»"),
                     QStringLiteral("г. Тверь, ул. Садовая, 5"),
                     QStringLiteral("Иванов И. И."),
                     QStringLiteral("Петров П. П."),
                     QDate(2026, 12, 1)}
        << QStringLiteral("Объект: Жилой дом Заказчик: ООО «Стройинвест» Адрес: г. Тверь, ул. "
                          "Садовая, 5 Дата: 01.12.2026")
        << QStringList{"Итоги!A1\t'Объект'\t'Объект'",
                       "Итоги!B1\t'Жилой дом'\t'Жилой дом'",
                       "Итоги!A2\t'Заказчик'\t'Заказчик'",
                       "Итоги!B2\t'ООО «Стройинвест»'\t'ООО «Стройинвест»'",
                       "Итоги!A3\t'Адрес'\t'Адрес'",
                       "Итоги!B3\t'г. Тверь, ул. Садовая, 5'\t'г. Тверь, ул. Садовая, 5'",
                       "Итоги!A4\t'Составил'\t'Составил'",
                       "Итоги!B4\t'Иванов И. И.'\t'Иванов И. И.'",
                       "Итоги!A5\t'Проверил'\t'Проверил'",
                       "Итоги!B5\t'Петров П. П.'\t'Петров П. П.'",
                       "Итоги!A6\t'Дата'\t'Дата'",
                       "Итоги!B6\tdatetime.datetime(2026, 12, 1, 0, 0)\tdatetime.datetime(2026, "
                       "12, 1, 0, 0)\tdd.mm.yyyy"}
        << QStringLiteral("Итоги!A8");
    // An empty field leaves no caption behind; the day of printing stands for a date not set.
    QTest::newRow("a customer only")
        << bom::Head{{}, QStringLiteral("ООО «Стройинвест»"), {}, {}, {}, {}}
        << QStringLiteral("Заказчик: ООО «Стройинвест» Дата: 07.12.2026")
        << QStringList{"Итоги!A1\t'Заказчик'\t'Заказчик'",
                       "Итоги!B1\t'ООО «Стройинвест»'\t'ООО «Стройинвест»'"}
        << QStringLiteral("Итоги!A3");
}

void BillExportTest::headIsPrintedAndInTheWorkbook()
{
    QFETCH(bom::Head, head);
    QFETCH(QString, printed);
    QFETCH(QStringList, cells);
    QFETCH(QString, headings);
    bom::Bill bill = sampleBill();
    bill.head = head;
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("ведомость.pdf"));
    QCOMPARE(billprint::writePdf(pdf, bill, bom::computeTotals(bill), QStringLiteral("07.12.2026"),
                                 QStringLiteral("12:10:00")),
             std::nullopt);
    const QString first = pdfPages(pdf).value(0);
    QVERIFY2(first.startsWith(QStringLiteral("Мерилон 3 — ведомость материалов ") + printed +
                              QStringLiteral(" Итоги ")),
             qPrintable(first));

    const QString book = folder.filePath(QStringLiteral("ведомость.xlsx"));
    QCOMPARE(billxlsx::write(bill, bom::computeTotals(bill), book), std::nullopt);
    const QStringList back = readBack(book);
    const qsizetype start =
        back.indexOf(QRegularExpression(QStringLiteral("Итоги!A\\d+\t'№ п/п'.*")));
    QCOMPARE(back.mid(0, start), cells);
    QCOMPARE(back.value(start).section(u'\t', 0, 0), headings);
}

// Rows of three lines over several pages: each row's first and last lines stand on one page, and
// the headings on each of them.
void BillExportTest::noTotalsRowIsCutByAPageBreak()
{
    const int rows = 150;
    const bom::Bill bill = longBill(rows);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.pdf"));
    QCOMPARE(billprint::writePdf(path, bill, bom::computeTotals(bill), QStringLiteral("07.12.2026"),
                                 QStringLiteral("12:10:00")),
             std::nullopt);
    QStringList totals;
    for (const QString &page : pdfPages(path)) {
        const qsizetype entries = page.indexOf(QStringLiteral("Записи № п/п"));
        totals.append(page.left(entries));
        if (entries >= 0)
            break;
    }
    QVERIFY2(totals.size() >= 3, qPrintable(QString::number(totals.size())));
    for (int i = 1; i <= rows; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 3, 10, QChar(u'0'));
        const auto page = std::find_if(totals.cbegin(), totals.cend(), [&n](const QString &text) {
            return text.contains(u'А' + n + u' ');
        });
        QVERIFY2(page != totals.cend() && page->contains(QStringLiteral("партия Б") + n),
                 qPrintable(n));
    }
    for (const QString &page : totals)
        QVERIFY2(page.contains(QStringLiteral("Количество")), qPrintable(page));
}

void BillExportTest::signaturesEndTheDocument_data()
{
    QTest::addColumn<QString>("compiledBy");
    QTest::addColumn<QString>("checkedBy");
    QTest::addColumn<QString>("lines");
    QTest::newRow("named") << QStringLiteral("Иванов И. И.") << QStringLiteral("Петров П. П.")
                           << QStringLiteral("Составил ____________ / Иванов И. И. Проверил "
                                             "____________ / Петров П. П.");
    // Without a name, a line to write it in by hand.
    QTest::newRow("unnamed") << QString() << QString()
                             << QStringLiteral("Составил ____________ / ____________ Проверил "
                                               "____________ / ____________");
}

// Whatever the number of entries, the lines to sign end the last page, after the last entry and
// before the foot only.
void BillExportTest::signaturesEndTheDocument()
{
    QFETCH(QString, compiledBy);
    QFETCH(QString, checkedBy);
    QFETCH(QString, lines);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.pdf"));
    for (int entries = 1; entries <= 60; entries += 2) {
        bom::Bill bill = longBill(entries);
        bill.head.compiledBy = compiledBy;
        bill.head.checkedBy = checkedBy;
        QCOMPARE(billprint::writePdf(path, bill, bom::computeTotals(bill),
                                     QStringLiteral("07.12.2026"), QStringLiteral("12:10:00")),
                 std::nullopt);
        const QStringList pages = pdfPages(path);
        const QString last = pages.last();
        const QString foot =
            QStringLiteral(" Напечатано 07.12.2026 12:10:00 ") + QString::number(pages.size());
        QVERIFY2(last.endsWith(lines + foot), qPrintable(last));
        QVERIFY2(last.contains(QStringLiteral("Б%1").arg(entries, 3, 10, QChar(u'0'))),
                 qPrintable(last));
        QCOMPARE(pages.join(u' ').count(QStringLiteral("Составил")), 1);
    }
}

// A price taken from the price catalogue says so in the printout and the workbook, for a
// material and for a machine; a typed price says nothing.
void BillExportTest::cataloguePricesSayWhereTheyCameFrom()
{
    const QString norm = QStringLiteral("ГЭСН 06-01-001-01");
    bom::Bill bill;
    bill.entries = {
        {QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC),
         norm,
         QString(),
         {bom::material(QStringLiteral("Автомобили бортовые"), QStringLiteral("маш.-ч"), 1.25,
                        bom::MaterialKind::Machine, {}, norm, QStringLiteral("91.14.02-001")),
          bom::material(QStringLiteral("Смеси бетонные"), QStringLiteral("м3"), 3,
                        bom::MaterialKind::Buy, {}, norm, QStringLiteral("04.1.02.05-0006")),
          bom::material(QStringLiteral("Гвозди"), QStringLiteral("кг"), 2)}}};
    const bom::PriceOrigin origin{QStringLiteral("01.01.2022"), 9.12};
    bill.terms.insert(bill.entries[0].materials[0].key,
                      bom::Terms{0, std::nullopt, 965243, bom::PriceBasis::PerUnit, origin});
    bill.terms.insert(bill.entries[0].materials[1].key,
                      bom::Terms{0, std::nullopt, 5588417, bom::PriceBasis::PerUnit, origin});
    bill.terms.insert(bill.entries[0].materials[2].key, bom::Terms{0, std::nullopt, 15000});
    bill.priceIndex = 9.12;
    const bom::Totals totals = bom::computeTotals(bill);
    const QString said = QStringLiteral("ФСБЦ 01.01.2022 × 9,12");
    // Materials 3 × 55884,17 + 2 × 150 = 167952,51, and the machines' 12065,54.
    const QString index = QStringLiteral("Индекс к ценам 01.01.2022: 9,12");
    const QString csv = QString::fromUtf8(billcsv::encode(bill, totals));
    for (const QString &line : {QStringLiteral("Индекс к ценам 01.01.2022;9,12"),
                                QStringLiteral("Машины, руб.: 12065,54"),
                                QStringLiteral("Всего по ведомости: 180018,05 руб.")})
        QVERIFY2(csv.contains(line + QStringLiteral("\r\n")), qPrintable(csv));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("цены.pdf"));
    QCOMPARE(billprint::writePdf(pdf, bill, totals, QString(), QString()), std::nullopt);
    const QString printed = pdfPages(pdf, true).join(u' ');
    QVERIFY2(printed.count(said) == 2, qPrintable(printed));
    QVERIFY2(printed.contains(QStringLiteral("Машины, руб.: 12 065,54")), qPrintable(printed));
    for (const QString &line : {index, QStringLiteral("Всего по ведомости: 180 018,05 руб.")})
        QVERIFY2(printed.contains(line), qPrintable(printed));
    if (!billxlsx::available())
        return;
    const QString workbook = folder.filePath(QStringLiteral("цены.xlsx"));
    QCOMPARE(billxlsx::write(bill, totals, workbook), std::nullopt);
    const QStringList cells = readBack(workbook);
    // After the sum of the materials; after the price and sum of the machines.
    for (const QString &expected :
         {QStringLiteral("Итоги!N3\t'Источник цены'\t'Источник цены'"),
          QStringLiteral("Итоги!N4\t'%1'\t'%1'").arg(said),
          QStringLiteral("Итоги!F10\t9652.43\t9652.43\t#,##0.00"),
          QStringLiteral("Итоги!G10\t'=ROUND(F10*E10,2)'\t12065.54\t#,##0.00"),
          QStringLiteral("Итоги!G13\t'=SUM(G10:G10)'\t12065.54\t#,##0.00"),
          QStringLiteral("Итоги!A1\t'Индекс к ценам 01.01.2022'\t'Индекс к ценам 01.01.2022'"),
          QStringLiteral("Итоги!G14\t'=M6+G13'\t180018.05\t#,##0.00")}) {
        QVERIFY2(cells.contains(expected), qPrintable(cells.join(u'\n')));
    }
    QCOMPARE(cells.filter(said).size(), 2);
}

void BillExportTest::quantityTooLargeIsNamedInEveryExport_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("said"); // by the CSV and the printout
    QTest::addColumn<QString>("cell"); // of the workbook
    QTest::newRow("bricks") << "Кирпич"
                            << "шт." << int(bom::MaterialKind::Buy)
                            << "Итого: 0,00 руб. (не учтено, количество слишком велико: 1)"
                            << "Итоги!D2\t'слишком велика'\t'слишком велика'";
    QTest::newRow("hours of labour")
        << "Затраты труда"
        << "чел.-ч" << int(bom::MaterialKind::Labour)
        << "Затраты труда, чел.-ч: 0 (не учтено, количество слишком велико: 1)"
        << "Итоги!E6\t'слишком велика'\t'слишком велика'";
}

// 1,5E308 twice leaves the range of a double: every export says so in words and none writes
// «INF», which a spreadsheet refuses.
void BillExportTest::quantityTooLargeIsNamedInEveryExport()
{
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(int, kind);
    QFETCH(QString, said);
    QFETCH(QString, cell);
    bom::Bill bill;
    bill.entries = {{QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC),
                     QStringLiteral("Кирпичная кладка"),
                     QString(),
                     {bom::material(name, unit, 1.5e308, bom::MaterialKind(kind))},
                     2}};
    const bom::Totals totals = bom::computeTotals(bill);
    const QRegularExpression infinite(QStringLiteral("\\b(inf|nan)\\b"),
                                      QRegularExpression::CaseInsensitiveOption);
    const QString csv = QString::fromUtf8(billcsv::encode(bill, totals));
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("ведомость.pdf"));
    QCOMPARE(billprint::writePdf(pdf, bill, totals, QString(), QString()), std::nullopt);
    const QString printed = pdfPages(pdf).join(u' ');
    for (const QString &text : {csv, printed}) {
        QVERIFY2(text.contains(said), qPrintable(text));
        QVERIFY2(!text.contains(infinite), qPrintable(text));
    }
    if (!billxlsx::available())
        return;
    const QString workbook = folder.filePath(QStringLiteral("ведомость.xlsx"));
    QCOMPARE(billxlsx::write(bill, totals, workbook), std::nullopt);
    const QStringList cells = readBack(workbook);
    QVERIFY2(cells.contains(cell), qPrintable(cells.join(u'\n')));
    QVERIFY2(cells.filter(infinite).isEmpty(), qPrintable(cells.filter(infinite).join(u'\n')));
}

QTEST_MAIN(BillExportTest)
#include "tst_billexport.moc"
