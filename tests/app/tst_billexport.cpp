#include "bill/billprint.h"
#include "bill/billxlsx.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

// The bill's workbook read back by a spreadsheet library, and its PDF read back as text.
class BillExportTest : public QObject
{
    Q_OBJECT

private slots:
    void workbookHoldsNumbersAndLiveFormulas();
    void failedExportKeepsThePreviousWorkbook();
    void cellTooLongForAWorkbookIsCut();
    void pdfHoldsTotalsAndEntries();

private:
    static bom::Bill sampleBill();
    // Every filled cell as "sheet!cell <tab> what is stored <tab> the value shown".
    static QStringList readBack(const QString &path);
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
          bom::material(QStringLiteral("Смазка"), QString(), std::nullopt)}},
    };
    bill.terms.insert({QStringLiteral("Раствор"), QStringLiteral("м3")},
                      bom::Terms{5, 0.5, 420000});
    bill.terms.insert({QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт.")},
                      bom::Terms{0, std::nullopt, 1850});
    return bill;
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
            print(f"{sheet.title}!{cell.coordinate}\t{cell.value!r}\t{shown!r}")
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
    // Mortar: 2,679 × 1,05 = 2,81295 m3 in packs of 0,5 is 6 packs at 4200 = 25200; bricks by
    // the piece: 4503 × 18,50 = 83305,50; together 108505,50. Concrete has no price, grease no
    // quantity: their formulas stay, with nothing to show yet.
    const QStringList expected = {
        "Итоги!A1\t'Материал'\t'Материал'",
        "Итоги!B1\t'Ед.'\t'Ед.'",
        "Итоги!C1\t'Количество'\t'Количество'",
        "Итоги!D1\t'Запас, %'\t'Запас, %'",
        "Итоги!E1\t'С запасом'\t'С запасом'",
        "Итоги!F1\t'Фасовка'\t'Фасовка'",
        "Итоги!G1\t'Упаковок'\t'Упаковок'",
        "Итоги!H1\t'Цена, руб.'\t'Цена, руб.'",
        "Итоги!I1\t'Сумма, руб.'\t'Сумма, руб.'",
        "Итоги!A2\t'Кирпич глиняный обыкновенный'\t'Кирпич глиняный обыкновенный'",
        "Итоги!B2\t'шт.'\t'шт.'",
        "Итоги!C2\t4503\t4503",
        "Итоги!D2\t0\t0",
        "Итоги!E2\t'=IF(ISNUMBER(C2),C2*(1+D2/100),\"\")'\t4503",
        "Итоги!G2\t'=IF(AND(ISNUMBER(E2),ISNUMBER(F2)),MAX(0,CEILING(E2/F2,1)),\"\")'\tNone",
        "Итоги!H2\t18.5\t18.5",
        "Итоги!I2\t'=IF(AND(ISNUMBER(E2),ISNUMBER(H2)),IF(ISNUMBER(F2),G2*H2,ROUND(MAX(0,E2)*H2,2))"
        ",\"\")'\t83305.5",
        "Итоги!A3\t'Раствор'\t'Раствор'",
        "Итоги!B3\t'м3'\t'м3'",
        "Итоги!C3\t2.679\t2.679",
        "Итоги!D3\t5\t5",
        "Итоги!E3\t'=IF(ISNUMBER(C3),C3*(1+D3/100),\"\")'\t2.81295",
        "Итоги!F3\t0.5\t0.5",
        "Итоги!G3\t'=IF(AND(ISNUMBER(E3),ISNUMBER(F3)),MAX(0,CEILING(E3/F3,1)),\"\")'\t6",
        "Итоги!H3\t4200\t4200",
        "Итоги!I3\t'=IF(AND(ISNUMBER(E3),ISNUMBER(H3)),IF(ISNUMBER(F3),G3*H3,ROUND(MAX(0,E3)*H3,2))"
        ",\"\")'\t25200",
        "Итоги!A4\t'Бетон'\t'Бетон'",
        "Итоги!B4\t'м3'\t'м3'",
        "Итоги!C4\t1.8\t1.8",
        "Итоги!D4\t0\t0",
        "Итоги!E4\t'=IF(ISNUMBER(C4),C4*(1+D4/100),\"\")'\t1.8",
        "Итоги!G4\t'=IF(AND(ISNUMBER(E4),ISNUMBER(F4)),MAX(0,CEILING(E4/F4,1)),\"\")'\tNone",
        "Итоги!I4\t'=IF(AND(ISNUMBER(E4),ISNUMBER(H4)),IF(ISNUMBER(F4),G4*H4,ROUND(MAX(0,E4)*H4,2))"
        ",\"\")'\tNone",
        "Итоги!A5\t'Смазка'\t'Смазка'",
        "Итоги!C5\t'—'\t'—'",
        "Итоги!D5\t0\t0",
        "Итоги!E5\t'=IF(ISNUMBER(C5),C5*(1+D5/100),\"\")'\tNone",
        "Итоги!G5\t'=IF(AND(ISNUMBER(E5),ISNUMBER(F5)),MAX(0,CEILING(E5/F5,1)),\"\")'\tNone",
        "Итоги!I5\t'=IF(AND(ISNUMBER(E5),ISNUMBER(H5)),IF(ISNUMBER(F5),G5*H5,ROUND(MAX(0,E5)*H5,2))"
        ",\"\")'\tNone",
        "Итоги!A6\t'Итого'\t'Итого'",
        "Итоги!I6\t'=SUM(I2:I5)'\t108505.5",
        "Записи!A1\t'Добавлено'\t'Добавлено'",
        "Записи!B1\t'Работа'\t'Работа'",
        "Записи!C1\t'Условия'\t'Условия'",
        "Записи!D1\t'Материал'\t'Материал'",
        "Записи!E1\t'Ед.'\t'Ед.'",
        "Записи!F1\t'Количество'\t'Количество'",
        "Записи!A2\t'07.12.2026 12:05'\t'07.12.2026 12:05'",
        "Записи!B2\t'Кирпичная кладка 1,5 кирпича (380 мм.)'\t'Кирпичная кладка 1,5 кирпича (380 "
        "мм.)'",
        "Записи!C2\t'Длина стены по периметру 10 м'\t'Длина стены по периметру 10 м'",
        "Записи!D2\t'Кирпич глиняный обыкновенный'\t'Кирпич глиняный обыкновенный'",
        "Записи!E2\t'шт.'\t'шт.'",
        "Записи!F2\t4503\t4503",
        "Записи!A3\t'07.12.2026 12:05'\t'07.12.2026 12:05'",
        "Записи!B3\t'Кирпичная кладка 1,5 кирпича (380 мм.)'\t'Кирпичная кладка 1,5 кирпича (380 "
        "мм.)'",
        "Записи!C3\t'Длина стены по периметру 10 м'\t'Длина стены по периметру 10 м'",
        "Записи!D3\t'Раствор'\t'Раствор'",
        "Записи!E3\t'м3'\t'м3'",
        "Записи!F3\t2.679\t2.679",
        "Записи!A4\t'07.12.2026 12:07'\t'07.12.2026 12:07'",
        "Записи!B4\t'Фундаменты под здания и сооружения'\t'Фундаменты под здания и сооружения'",
        "Записи!C4\t'Длина 2 м'\t'Длина 2 м'",
        "Записи!D4\t'Бетон'\t'Бетон'",
        "Записи!E4\t'м3'\t'м3'",
        "Записи!F4\t1.8\t1.8",
        "Записи!A5\t'07.12.2026 12:07'\t'07.12.2026 12:07'",
        "Записи!B5\t'Фундаменты под здания и сооружения'\t'Фундаменты под здания и сооружения'",
        "Записи!C5\t'Длина 2 м'\t'Длина 2 м'",
        "Записи!D5\t'Смазка'\t'Смазка'",
        "Записи!F5\t'—'\t'—'",
        // Columns as wide as their texts need, in characters.
        "Итоги widths\tA=40 B=8 C=14 D=10 E=14 F=10 G=11 H=12 I=14",
        "Записи widths\tA=16 B=40 C=60 D=40 E=8 F=14",
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
    const QString cut = QStringLiteral("Записи!C4\t'") + QString(32767, u'д') + u'\'';
    QVERIFY(std::any_of(cells.cbegin(), cells.cend(),
                        [&cut](const QString &cell) { return cell.startsWith(cut + u'\t'); }));
    QVERIFY(cells.contains(QStringLiteral("Записи!D5\t'Смазка'\t'Смазка'")));
}

void BillExportTest::pdfHoldsTotalsAndEntries()
{
    const bom::Bill bill = sampleBill();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.pdf"));
    QCOMPARE(billprint::writePdf(path, bill, bom::computeTotals(bill),
                                 QStringLiteral("Итого: 108505,50 руб. (без цены: 1)"),
                                 QStringLiteral("07.12.2026"), QStringLiteral("12:10:00")),
             std::nullopt);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QCOMPARE(text.exitCode(), 0);
    const QString extracted = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    // Each table starts with its headings, the first one included.
    QCOMPARE(extracted.count(QStringLiteral("Материал")), 2);
    for (const char *expected :
         {"Мерилон 3 — ведомость материалов", "Дата: 07.12.2026 Время: 12:10:00", "Итоги",
          "Добавлено", "Сумма, руб.", "Раствор м3 2,679 5 2,81295 0,5 6 4200,00 25200,00",
          "83305,50", "Итого: 108505,50 руб. (без цены: 1)", "Записи", "Длина 2 м Бетон м3 1,8"})
        QVERIFY2(extracted.contains(QString::fromUtf8(expected)), expected);
    QCOMPARE(billprint::writePdf(folder.filePath(QStringLiteral("нет/x.pdf")), bill,
                                 bom::computeTotals(bill), QString(), QString(), QString()),
             QStringLiteral("Invalid filename"));
}

QTEST_MAIN(BillExportTest)
#include "tst_billexport.moc"
