#include "estimate/estimateprint.h"
#include "lsrfixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The estimate printed in the ministry's form: its head, the table's headings on every page, a
// position's resources and sums with their figures, the totals and the lines to sign.
class EstimatePrintTest : public QObject
{
    Q_OBJECT

private slots:
    void pdfShowsTheForm_data();
    void pdfShowsTheForm();
};

void EstimatePrintTest::pdfShowsTheForm_data()
{
    QTest::addColumn<QString>("text"); // what the printout must say, spaces simplified
    QTest::newRow("title") << QStringLiteral("ЛОКАЛЬНЫЙ СМЕТНЫЙ РАСЧЕТ (СМЕТА) № 02-01-01");
    QTest::newRow("construction") << QStringLiteral(
        "Наименование стройки: Жилой дом по ул. Садовой, 5");
    QTest::newRow("price level") << QStringLiteral("в текущем уровне цен 4 квартала 2026 г.");
    QTest::newRow("region") << QStringLiteral("Регион: Ленинградская область, Зона 2");
    QTest::newRow("column of the basis") << QStringLiteral("Обоснование");
    QTest::newRow("quantity group") << QStringLiteral("Количество");
    QTest::newRow("cost group") << QStringLiteral("Сметная стоимость, руб.");
    QTest::newRow("the norm of a position") << QStringLiteral("ГЭСН 06-01-015-07");
    QTest::newRow("a worker's cost") << QStringLiteral("13 258,35");
    QTest::newRow("a price by index") << QStringLiteral("30,50 7,3 222,65");
    QTest::newRow("machinist within the machines") << QStringLiteral("в т.ч. ОТм");
    QTest::newRow("overhead") << QStringLiteral("15 107,07");
    QTest::newRow("position's total") << QStringLiteral("129 049,16");
    QTest::newRow("section total") << QStringLiteral("Итого по разделу 1 Фундаменты");
    QTest::newRow("estimate's building works") << QStringLiteral("Строительные работы");
    QTest::newRow("estimate's total") << QStringLiteral("259 455,68");
    QTest::newRow("signature") << QStringLiteral("Проверил ____________ / Петров С.Н.");
}

void EstimatePrintTest::pdfShowsTheForm()
{
    QFETCH(QString, text);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("estimate.pdf"));
    const std::optional<QString> failure = estimateprint::writePdf(
        path, lsrfixture::wholeEstimate(), QStringLiteral("08.12.2026"), QStringLiteral("10:15"));
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0);
    const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    QVERIFY2(printed.contains(text), qPrintable(printed));
}

QTEST_MAIN(EstimatePrintTest)
#include "tst_estimateprint.moc"
