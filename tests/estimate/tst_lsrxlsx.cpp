#include "lsrfixture.h"
#include "lsrxlsx.h"

#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>
#include <unzip.h>

namespace {

struct Cell
{
    QString formula;
    QString value;
};

// The sheet's cells by their names, as the workbook stores them.
QHash<QString, Cell> cells(const QString &path)
{
    QHash<QString, Cell> found;
    unzFile zip = unzOpen64(path.toLocal8Bit().constData());
    if (!zip)
        return found;
    QByteArray xml;
    if (unzLocateFile(zip, "xl/worksheets/sheet1.xml", 0) == UNZ_OK &&
        unzOpenCurrentFile(zip) == UNZ_OK) {
        char buffer[65536];
        for (int read = 0; (read = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0;)
            xml.append(buffer, read);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    QXmlStreamReader reader(xml);
    QString name;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == u"c")
            name = reader.attributes().value(QStringLiteral("r")).toString();
        else if (reader.name() == u"f")
            found[name].formula = reader.readElementText();
        else if (reader.name() == u"v")
            found[name].value = reader.readElementText();
    }
    return found;
}

} // namespace

// The estimate's workbook: its sums are live formulas over the cells, and each shows the
// estimate's figure to a reader that does not recalculate.
class LsrXlsxTest : public QObject
{
    Q_OBJECT

private slots:
    void formulasHoldTheirFigures_data();
    void formulasHoldTheirFigures();
};

void LsrXlsxTest::formulasHoldTheirFigures_data()
{
    QTest::addColumn<QString>("value");   // the figure the cell shows
    QTest::addColumn<QString>("formula"); // the formula it is, its rows written «#»
    QTest::newRow("a line's cost is its quantity × price")
        << QStringLiteral("41.75") << QStringLiteral("ROUND(G#*J#*K#,2)");
    QTest::newRow("a price by index is base × index")
        << QStringLiteral("222.65") << QStringLiteral("ROUND(H#*I#,2)");
    QTest::newRow("a line's quantity is per unit × the volume")
        << QStringLiteral("14.5728") << QStringLiteral("ROUND(E#*F#*G#,7)");
    QTest::newRow("overhead of the wage fund")
        << QStringLiteral("15107.07") << QStringLiteral("ROUND(L#*G#/100,2)");
    QTest::newRow("position total over its sums")
        << QStringLiteral("129049.16") << QStringLiteral("SUM(L#,L#,L#,L#,L#)");
    QTest::newRow("section total over its positions")
        << QStringLiteral("184317.96") << QStringLiteral("SUMIF($M$#:$M$#,\"Всего\",$L$#:$L$#)");
    QTest::newRow("building works of the estimate")
        << QStringLiteral("218792.96")
        << QStringLiteral("SUMIFS($L$#:$L$#,$M$#:$M$#,\"Всего\",$N$#:$N$#,\"Строительные\")");
    QTest::newRow("materials of the estimate, the wire among them")
        << QStringLiteral("121854.25") << QStringLiteral("SUMIF($M$#:$M$#,\"п:М\",$L$#:$L$#)");
    QTest::newRow("the estimate's total")
        << QStringLiteral("259455.68") << QStringLiteral("SUMIF($M$#:$M$#,\"Всего\",$L$#:$L$#)");
}

void LsrXlsxTest::formulasHoldTheirFigures()
{
    QFETCH(QString, value);
    QFETCH(QString, formula);
    if (!lsrxlsx::available())
        QSKIP("This build writes no workbooks");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("estimate.xlsx"));
    const std::optional<QString> failure = lsrxlsx::write(lsrfixture::wholeEstimate(), path);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    const QHash<QString, Cell> sheet = cells(path);
    QStringList parts = formula.split(u'#');
    for (QString &part : parts)
        part = QRegularExpression::escape(part);
    const QRegularExpression shape(u'^' + parts.join(QStringLiteral("[0-9]+")) + u'$');
    QStringList seen;
    for (auto it = sheet.cbegin(); it != sheet.cend(); ++it) {
        if (it->value != value)
            continue;
        seen.append(it.key() + u'=' + it->formula);
        if (!shape.match(it->formula).hasMatch())
            continue;
        // A product reckoned again from the cells it names gives the figure shown.
        static const QRegularExpression product(QStringLiteral("^ROUND\\(([A-Z][0-9]+)\\*([A-Z]["
                                                               "0-9]+)(?:\\*([A-Z][0-9]+))?,"));
        if (const QRegularExpressionMatch match = product.match(it->formula); match.hasMatch()) {
            double result = 1;
            for (int part = 1; part <= 3; ++part) {
                if (!match.captured(part).isEmpty())
                    result *= sheet.value(match.captured(part)).value.toDouble();
            }
            QCOMPARE(std::llround(result * 100), std::llround(value.toDouble() * 100));
        }
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no cell %1 = %2 among %3")
                         .arg(formula, value, seen.join(QStringLiteral("; ")))));
}

QTEST_GUILESS_MAIN(LsrXlsxTest)
#include "tst_lsrxlsx.moc"
