#include "billcsv.h"
#include "billfile.h"
#include "totals.h"
#include "schemacheck.h"
#include "vorfile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

using namespace bom;

namespace {

const QString kFixtures = QStringLiteral(MERILON_GGE_FIXTURES);

// The test's own arithmetic of a formula: numbers with a point, + - * / and brackets.
struct Arithmetic
{
    QString text;
    qsizetype at = 0;

    QChar peek()
    {
        while (at < text.size() && text.at(at) == u' ')
            ++at;
        return at < text.size() ? text.at(at) : QChar();
    }
    double sum()
    {
        double value = product();
        for (QChar c = peek(); c == u'+' || c == u'-'; c = peek()) {
            ++at;
            value = c == u'+' ? value + product() : value - product();
        }
        return value;
    }
    double product()
    {
        double value = atom();
        for (QChar c = peek(); c == u'*' || c == u'/'; c = peek()) {
            ++at;
            value = c == u'*' ? value * atom() : value / atom();
        }
        return value;
    }
    double atom()
    {
        if (peek() == u'(') {
            ++at;
            const double value = sum();
            if (peek() != u')')
                return qQNaN();
            ++at;
            return value;
        }
        const qsizetype start = at;
        while (at < text.size() && (text.at(at).isDigit() || text.at(at) == u'.'))
            ++at;
        bool ok = false;
        const double value = text.mid(start, at - start).toDouble(&ok);
        return ok ? value : qQNaN();
    }
};

double evaluate(const QString &formula)
{
    Arithmetic arithmetic{formula};
    const double value = arithmetic.sum();
    return arithmetic.peek().isNull() ? value : qQNaN();
}

// Each QuantityFormula with the Quantity before it, in file order.
QList<std::pair<QString, QString>> formulas(const QByteArray &bytes)
{
    QList<std::pair<QString, QString>> found;
    QXmlStreamReader xml(bytes);
    QString quantity;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QStringLiteral("Quantity"))
            quantity = xml.readElementText();
        else if (xml.name() == QStringLiteral("QuantityFormula"))
            found.append({xml.readElementText(), quantity});
    }
    return found;
}

// The texts the program reads, in file order, as path=text; a month or a day by its value.
QStringList leaves(const QByteArray &bytes)
{
    static const QRegularExpression unread(QStringLiteral("Soft/|ExportDateTime$|Section/Num$"));
    static const QRegularExpression date(QStringLiteral("/(Month|Day)$"));
    QStringList found;
    QStringList path;
    QString text;
    bool leaf = false;
    for (QXmlStreamReader xml(bytes); !xml.atEnd(); xml.readNext()) {
        if (xml.isStartElement()) {
            path.append(xml.name().toString());
            text.clear();
        } else if (xml.isEndElement()) {
            const QString at = path.join(u'/');
            if (leaf && !unread.match(at).hasMatch())
                found.append(at + u'=' +
                             (date.match(at).hasMatch() ? QString::number(text.toInt()) : text));
            path.removeLast();
        }
        text += xml.text();
        leaf = xml.isStartElement() || (leaf && xml.isCharacters());
    }
    return found;
}

QString validate(const QString &file)
{
    return schemaProblems(kFixtures + QStringLiteral("/QuantityTakeoff-3_01.xsd"),
                          kFixtures + QStringLiteral("/QuantityTakeoff.xsd"), file);
}

QList<Link> links(int id, const char *pages, const char *description = "38.2023/002-КР-ГЧ")
{
    return {{id, QString::fromUtf8(pages), QString::fromUtf8(description)}};
}

// A masonry wall, a painted area twelve times over, hand-typed nails, each fully filled in.
Bill wholeBill()
{
    Bill bill;
    Head &head = bill.head;
    head.object = QStringLiteral("Жилой дом");
    head.constructionSite = QStringLiteral("Квартал 5");
    head.reason = QStringLiteral("Раздел ПД №4 том №4");
    head.number = QStringLiteral("ВОР-1");
    head.accessLevel = QStringLiteral("для служебного пользования");
    head.date = QDate(2026, 12, 7);
    head.compiledBy = QStringLiteral("Иванов И.И.");
    head.compiledPosition = QStringLiteral("Инженер");
    head.checkedBy = QStringLiteral("Петров А.А.");
    head.checkedPosition = QStringLiteral("Главный инженер проекта");
    bill.documents = {{4, QStringLiteral("Раздел ПД №4 том №4-КР.pdf")},
                      {15, QStringLiteral("ПОС & план <1>.pdf")}};
    bill.sections = {
        {QStringLiteral("Стены")}, {QStringLiteral("Пустой")}, {QStringLiteral("Отделка")}};
    const QString masonry = QStringLiteral("Кирпичная кладка");
    Entry wall;
    wall.added = QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);
    wall.work = QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)");
    wall.materials = {material(QStringLiteral("Объем кирпичной кладки"), QStringLiteral("м3"),
                               14.022, MaterialKind::WorkVolume, {}, masonry),
                      material(QStringLiteral("Раствор"), QStringLiteral("м3"), 0.24 * 14.022,
                               MaterialKind::Buy, {}, masonry),
                      material(QStringLiteral("Пробки"), QStringLiteral("м3"), std::nullopt)};
    wall.materials[1].formula = QStringLiteral("0.24*14.022");
    wall.volume = {QStringLiteral("м3"), 12.3 * 3 * 0.38, QStringLiteral("12.3*3*0.38")};
    wall.links = links(4, "114 115");
    Entry paint = wall;
    paint.work = QStringLiteral("Окраска поверхностей");
    paint.section = 2;
    paint.count = 12;
    paint.note = QStringLiteral("по штукатурке");
    paint.volume = {QStringLiteral("м2"), 20.5, QStringLiteral("20.5")};
    paint.materials = {
        material(QStringLiteral("Олифа"), QStringLiteral("кг"), 0.7 * 20.5),
        material(QStringLiteral("Автовышка"), QStringLiteral("маш.-ч"), 1.5, MaterialKind::Machine),
        material(QStringLiteral("Маляры"), QStringLiteral("чел.-ч"), 9, MaterialKind::Labour)};
    paint.materials[0].formula = QStringLiteral("0.7*20.5");
    paint.materials[0].links = links(15, "56", "38.2023/002-ПОС");
    paint.materials[1].formula = QStringLiteral("1.5");
    Entry nails;
    nails.added = wall.added;
    nails.work = manualWork();
    nails.manual = true;
    nails.section = 2;
    nails.links = links(4, "7");
    nails.materials = {material(QStringLiteral("Гвозди"), QStringLiteral("кг"), 2.5,
                                MaterialKind::Buy, {}, manualSource())};
    nails.materials[0].formula = QStringLiteral("2.5");
    nails.materials[0].type = ResourceType::Transport;
    bill.entries = {wall, paint, nails};
    return bill;
}

const vorfile::Meta kMeta{QStringLiteral("Мерилон 3"), QStringLiteral("3.0.1"),
                          QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30))};

} // namespace

// The bill of quantities for expertise: a file the schemas accept, formulas that give their
// quantities, and a file read back as the bill it came from.
class VorFileTest : public QObject
{
    Q_OBJECT

private slots:
    void writtenFileIsValidAndItsFormulasHold_data();
    void writtenFileIsValidAndItsFormulasHold();
    void incompleteBillIsRefusedLineByLine_data();
    void incompleteBillIsRefusedLineByLine();
    void exampleReadsWritesAndValidates();
    void writtenFileReadsBackIntoTheSameBill();
    void brokenFilesAreRefusedWithLineAndColumn_data();
    void brokenFilesAreRefusedWithLineAndColumn();
    void billFileKeepsSectionsLinksAndVolumes();
    void olderBillOpensWithOneSection();
    void csvShowsSectionsAndReferencesOnlyWhenThereAreSome();

private:
    QTemporaryDir m_folder;
};

void VorFileTest::writtenFileIsValidAndItsFormulasHold_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("line"); // a line the file must hold
    QTest::newRow("whole bill") << 0 << QStringLiteral("<Quantity>14.022</Quantity>");
    QTest::newRow("twelve works multiply")
        << 0 << QStringLiteral("<QuantityFormula>12*(20.5)</QuantityFormula>");
    QTest::newRow("own link of a material") << 0 << QStringLiteral("<PageNumber>56</PageNumber>");
    QTest::newRow("machine") << 0 << QStringLiteral("<Type>машина</Type>");
    QTest::newRow("hand-typed line of a picked type")
        << 0 << QStringLiteral("<Type>перевозка</Type>");
    QTest::newRow("export time in local time") << 0 << QStringLiteral("2026-12-08T10:15:30+03:00");
    QTest::newRow("a million and more without exponent")
        << 1 << QStringLiteral("<Quantity>1234570</Quantity>");
    QTest::newRow("tiny quantity without exponent")
        << 2 << QStringLiteral("<Quantity>0.0000123457</Quantity>");
    QTest::newRow("no access level, no number") << 3 << QStringLiteral("<Reason>");
}

void VorFileTest::writtenFileIsValidAndItsFormulasHold()
{
    QFETCH(int, change);
    QFETCH(QString, line);
    Bill bill = wholeBill();
    if (change == 1)
        bill.entries[0].volume = {QStringLiteral("м3"), 1234567.8, QStringLiteral("1234567.8")};
    if (change == 2)
        bill.entries[0].volume = {QStringLiteral("т"), 0.0000123457,
                                  QStringLiteral("123457/10000000000")};
    if (change == 3) {
        bill.head.accessLevel.clear();
        bill.head.number.clear();
    }
    QVERIFY2(vorfile::check(bill).isEmpty(), qPrintable(vorfile::check(bill).value(0).text));
    const QString path = m_folder.filePath(QStringLiteral("вор.gge"));
    const std::optional<QString> failure = vorfile::write(bill, kMeta, path);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(QString::fromUtf8(bytes).contains(line), bytes.constData());
    const QString invalid = validate(path);
    QVERIFY2(invalid.isEmpty(), qPrintable(invalid));
    const auto written = formulas(bytes);
    // The wall, its mortar, the paint, its oil and the lorry, the nails: labour and a dash are
    // no lines.
    QCOMPARE(written.size(), 6);
    for (const auto &[formula, quantity] : written) {
        const double value = evaluate(formula);
        const int decimals =
            quantity.contains(u'.') ? int(quantity.size() - quantity.indexOf(u'.') - 1) : 0;
        const double scale = std::pow(10.0, decimals);
        // To the last decimal written, or to the six significant digits the window shows.
        const double off = std::fabs(value - quantity.toDouble());
        QVERIFY2(off <= 0.5 / scale * (1 + 1e-9) || off <= 5e-6 * std::fabs(value),
                 qPrintable(formula + QStringLiteral(" ≠ ") + quantity));
    }
}

void VorFileTest::incompleteBillIsRefusedLineByLine_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("gap");
    QTest::newRow("no position of the checker")
        << 0 << QStringLiteral("Не указана должность проверившего");
    QTest::newRow("entry without a link")
        << 1 << QStringLiteral("Запись 3: нет ссылки на документ");
    QTest::newRow("link to a document not listed")
        << 2 << QStringLiteral("Запись 1: ссылка на документ 9, которого нет в списке документов");
    QTest::newRow("pages are not numbers")
        << 3
        << QStringLiteral("Запись 1: в ссылке на документ 4 нужны номера страниц через пробел");
    QTest::newRow("older entry without a formula")
        << 4 << QStringLiteral("Запись 2, объем работ: нет формулы количества");
    QTest::newRow("formula gives another figure")
        << 5
        << QStringLiteral(
               "Запись 1, объем работ: формула «12.3*3*0.4» дает 14.76, а количество 14.022");
    QTest::newRow("material without a formula")
        << 6 << QStringLiteral("Запись 1, «Раствор»: нет формулы количества");
    QTest::newRow("no documents") << 7
                                  << QStringLiteral(
                                         "Нет ни одного документа, на который ссылаются записи");
}

void VorFileTest::incompleteBillIsRefusedLineByLine()
{
    QFETCH(int, change);
    QFETCH(QString, gap);
    Bill bill = wholeBill();
    switch (change) {
    case 0:
        bill.head.checkedPosition.clear();
        break;
    case 1:
        bill.entries[2].links.clear();
        break;
    case 2:
        bill.entries[0].links[0].documentId = 9;
        break;
    case 3:
        bill.entries[0].links[0].pages = QStringLiteral("114-115");
        break;
    case 4:
        bill.entries[1].volume.formula.clear();
        break;
    case 5:
        bill.entries[0].volume.formula = QStringLiteral("12.3*3*0.4");
        break;
    case 6:
        bill.entries[0].materials[1].formula.clear();
        break;
    case 7:
        bill.documents.clear();
        break;
    }
    QStringList gaps;
    for (const vorfile::Gap &found : vorfile::check(bill))
        gaps.append(found.text);
    QVERIFY2(gaps.contains(gap), qPrintable(gaps.join(u'\n')));
    const QString path = m_folder.filePath(QStringLiteral("отказ.gge"));
    const std::optional<QString> failure = vorfile::write(bill, kMeta, path);
    QVERIFY(failure && failure->contains(gap));
    QVERIFY(!QFile::exists(path));
}

void VorFileTest::exampleReadsWritesAndValidates()
{
    const vorfile::Reading reading =
        vorfile::read(kFixtures + QStringLiteral("/example-vor.gge"), QDateTime::currentDateTime());
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    const Bill &bill = *reading.bill;
    QCOMPARE(bill.sections.size(), 3);
    QCOMPARE(bill.sections.at(1).name, QStringLiteral("Фундамент"));
    QCOMPARE(bill.entries.size(), 7);
    QCOMPARE(bill.documents.size(), 2);
    QCOMPARE(bill.documents.at(1).id, 15);
    QCOMPARE(bill.head.checkedPosition, QStringLiteral("Главный инженер проекта"));
    QCOMPARE(bill.head.date, QDate(2025, 1, 1));
    const Entry &sand = bill.entries.at(0);
    QCOMPARE(sand.volume.formula, QStringLiteral("11.8*8.3*0.4"));
    QCOMPARE(sand.volume.quantity, 39.176);
    QCOMPARE(sand.links, links(10, "114 115"));
    QCOMPARE(sand.materials.size(), 2);
    QCOMPARE(sand.materials.at(0).quantity, 43.094);
    QCOMPARE(sand.materials.at(0).links, links(10, "114"));
    QCOMPARE(sand.materials.at(1).type, std::optional<ResourceType>(ResourceType::Transport));
    QCOMPARE(bill.entries.at(3).section, 1);
    QCOMPARE(bill.entries.at(6).section, 2);
    // Its totals sum the materials: the sand of the first work.
    const QList<vorfile::Gap> gaps = vorfile::check(bill);
    QVERIFY2(gaps.isEmpty(), qPrintable(gaps.value(0).text));
    const QString path = m_folder.filePath(QStringLiteral("пример.gge"));
    QVERIFY(!vorfile::write(bill, kMeta, path));
    const QString invalid = validate(path);
    QVERIFY2(invalid.isEmpty(), qPrintable(invalid));
    // Every text read is written back in its place, comments and double spaces too, also from
    // the bill saved and opened again.
    QFile original(kFixtures + QStringLiteral("/example-vor.gge"));
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QStringList expected = leaves(original.readAll());
    QCOMPARE(leaves(vorfile::encode(bill, kMeta)), expected);
    const billfile::Reading saved = billfile::decode(billfile::encode(bill));
    QVERIFY2(saved.bill, qPrintable(saved.failure));
    QCOMPARE(leaves(vorfile::encode(*saved.bill, kMeta)), expected);
}

void VorFileTest::writtenFileReadsBackIntoTheSameBill()
{
    Bill bill = wholeBill();
    // A name typed over two lines on Windows keeps its carriage return.
    bill.entries[1].materials[0].key.name += QStringLiteral("\r\nвторая строка");
    const QByteArray first = vorfile::encode(bill, kMeta);
    const vorfile::Reading reading = vorfile::decode(first, QDateTime::currentDateTime());
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    QCOMPARE(reading.bill->head, bill.head);
    QCOMPARE(reading.bill->documents, bill.documents);
    // The empty section has no line in the file.
    QCOMPARE(reading.bill->sections.size(), 2);
    QCOMPARE(reading.bill->entries.at(1).materials.at(0).links, bill.entries[1].materials[0].links);
    QCOMPARE(reading.bill->entries.at(2).materials.at(0).type, bill.entries[2].materials[0].type);
    QCOMPARE(reading.bill->entries.at(1).materials.at(0).key.name,
             bill.entries[1].materials[0].key.name);
    QCOMPARE(QString::fromUtf8(vorfile::encode(*reading.bill, kMeta)), QString::fromUtf8(first));
}

void VorFileTest::brokenFilesAreRefusedWithLineAndColumn_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not XML") << QByteArray("{\"format\": \"merilon-bom\"}")
                             << QStringLiteral("это не XML или XML с ошибкой разметки (строка 1,");
    QTest::newRow("another root")
        << QByteArray("<?xml version=\"1.0\"?>\n<Estimate/>")
        << QStringLiteral(
               "корневой элемент «Estimate», а не «Construction» (строка 2, столбец 12)");
    QTest::newRow("cut short")
        << QByteArray("<Construction>\n  <Meta>\n")
        << QStringLiteral("файл обрывается раньше, чем кончается ведомость (строка 3, столбец 1)");
    QTest::newRow("another file type")
        << QByteArray("<Construction><Meta><Soft/><File><Type>Смета</Type><Version>3.01</Version>"
                      "</File></Meta></Construction>")
        << QStringLiteral("это не ведомость объемов работ, а «Смета» (строка 1, столбец 40)");
    QTest::newRow("pages with a dash")
        << QByteArray(
               "<Construction><Meta><File><Type>Ведомость объемов работ</Type><Version>3.01"
               "</Version></File></Meta><ConstructionSite/><ObjectName/><Reason/><Date><Year>"
               "2025</Year><Month>1</Month><Day>1</Day></Date><Signatures><Composer><Name/>"
               "<Position/></Composer><Verifier><Name/><Position/></Verifier></Signatures>"
               "<Files/><Sections><Section><Works><Work><Num>1</Num><Name>A</Name><Unit>м"
               "</Unit><Quantity>1</Quantity><QuantityFormula>1</QuantityFormula><Links>"
               "<Link><FileID>1</FileID>\n<PageNumber>3-4</PageNumber></Link></Links></Work>"
               "</Works></Section></Sections></Construction>")
        << QStringLiteral("номера страниц через пробел (строка 2, столбец 13)");
    QTest::newRow("quantity with a comma")
        << QByteArray(
               "<Construction><Meta><File><Type>Ведомость объемов работ</Type><Version>3.01"
               "</Version></File></Meta><ConstructionSite/><ObjectName/><Reason/><Date><Year>"
               "2025</Year><Month>2</Month><Day>30</Day></Date></Construction>")
        << QStringLiteral("такой даты нет");
}

void VorFileTest::brokenFilesAreRefusedWithLineAndColumn()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const vorfile::Reading reading = vorfile::decode(bytes, QDateTime::currentDateTime());
    QVERIFY(!reading.bill);
    QVERIFY2(reading.failure.contains(reason), qPrintable(reading.failure));
}

void VorFileTest::billFileKeepsSectionsLinksAndVolumes()
{
    const Bill bill = wholeBill();
    const billfile::Reading reading = billfile::decode(billfile::encode(bill));
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    QCOMPARE(reading.bill->sections, bill.sections);
    QCOMPARE(reading.bill->documents, bill.documents);
    QCOMPARE(reading.bill->head, bill.head);
    QCOMPARE(reading.bill->entries, bill.entries);
}

void VorFileTest::olderBillOpensWithOneSection()
{
    const QByteArray version3 = R"({"format": "merilon-bom", "version": 3, "entries": [
        {"added": "2026-12-07T09:00:00.000Z", "work": "Кладка", "inputs": "", "count": 2,
         "materials": [{"name": "Раствор", "unit": "м3", "quantity": 3.5, "kind": "buy"}]}]})";
    const billfile::Reading reading = billfile::decode(version3);
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    QCOMPARE(reading.bill->sections, QList<Section>{{QStringLiteral("Раздел 1")}});
    QCOMPARE(reading.bill->entries.at(0).section, 0);
    QCOMPARE(reading.bill->entries.at(0).materials.at(0).quantity, 3.5);
    QVERIFY(reading.bill->documents.isEmpty());
    // What it lacks for expertise is listed, not guessed.
    QStringList gaps;
    for (const vorfile::Gap &gap : vorfile::check(*reading.bill))
        gaps.append(gap.text);
    QVERIFY2(gaps.contains(QStringLiteral("Запись 1: нет ссылки на документ")),
             qPrintable(gaps.join(u'\n')));
}

void VorFileTest::csvShowsSectionsAndReferencesOnlyWhenThereAreSome()
{
    const Bill bill = wholeBill();
    const QString csv = QString::fromUtf8(billcsv::encode(bill, computeTotals(bill)));
    QVERIFY2(csv.contains(QStringLiteral(";Количество;Вид;Раздел;Основание\r\n")), qPrintable(csv));
    QVERIFY2(csv.contains(QStringLiteral(";Стены;док. 4, с. 114 115 (38.2023/002-КР-ГЧ)\r\n")),
             qPrintable(csv));
    // The oil's own reference, not its work's.
    QVERIFY(csv.contains(QStringLiteral(";Отделка;док. 15, с. 56 (38.2023/002-ПОС)\r\n")));
    Bill plain = bill;
    plain.sections = {{QStringLiteral("Раздел 1")}};
    for (Entry &entry : plain.entries) {
        entry.section = 0;
        entry.links.clear();
    }
    const QString plainCsv = QString::fromUtf8(billcsv::encode(plain, computeTotals(plain)));
    QVERIFY(plainCsv.contains(QStringLiteral(";Количество;Вид\r\n")));
}

QTEST_GUILESS_MAIN(VorFileTest)
#include "tst_vorfile.moc"
