#include "billcsv.h"
#include "billfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <limits>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace bom;

// The bill's file: what is saved opens as the same bill, and a file that is no bill of ours is
// refused with a reason and changes nothing.
class BillFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void savedBillOpensEqual();
    void figuresKeepEveryBit_data();
    void figuresKeepEveryBit();
    void badFilesAreRefusedWithAReason_data();
    void badFilesAreRefusedWithAReason();
    void fileOfAHundredMegabytesIsRefusedUnread();
    void failedSaveKeepsThePreviousFile();
    void saveIntoAMissingFolderSaysSo();
    void csvIsExactToTheByte();

private:
    static Bill sampleBill();
    std::unique_ptr<QTemporaryDir> m_folder;
};

void BillFileTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
}

Bill BillFileTest::sampleBill()
{
    Bill bill;
    bill.entries = {
        {QDateTime(QDate(2026, 12, 7), QTime(9, 5, 30, 250), Qt::UTC),
         QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)"),
         QStringLiteral("Длина стены по периметру 12 м; Высота стены по периметру 3 м"),
         {materialFromCaption(QStringLiteral("Кирпич глиняный обыкновенный, шт."), 5392.08),
          materialFromCaption(QStringLiteral("Раствор, м3"), 3.2148)}},
        {QDateTime(QDate(2026, 12, 7), QTime(9, 7), Qt::UTC),
         QStringLiteral("Фундаменты; \"под колонны\""),
         QStringLiteral("Длина 2 м"),
         {materialFromCaption(QStringLiteral("Смазка"), std::nullopt),
          materialFromCaption(QStringLiteral("Раствор, куб. метр"), 0.1)}},
    };
    bill.terms.insert({QStringLiteral("Раствор"), QStringLiteral("м3")}, Terms{5, 0.5, 420000});
    bill.terms.insert({QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт.")},
                      Terms{2.5, std::nullopt, 1850});
    return bill;
}

void BillFileTest::savedBillOpensEqual()
{
    const QString path = m_folder->filePath(QStringLiteral("дом.merilon-bom"));
    const Bill bill = sampleBill();
    QCOMPARE(billfile::write(bill, path), std::nullopt);
    const billfile::Reading reading = billfile::read(path);
    QCOMPARE(reading.failure, QString());
    QVERIFY(reading.bill);
    QVERIFY(*reading.bill == bill);
    // The file states what it is, so that a reader can refuse what it does not know.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("\"format\": \"merilon-bom\""));
    QVERIFY(bytes.contains("\"version\": 1"));
    QVERIFY(bytes.contains("Кирпичная кладка"));
}

void BillFileTest::figuresKeepEveryBit_data()
{
    QTest::addColumn<double>("quantity");
    QTest::newRow("0,1 + 0,2") << 0.1 + 0.2;
    QTest::newRow("largest double") << std::numeric_limits<double>::max();
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("negative") << -1234.5678901234567;
    QTest::newRow("third") << 1.0 / 3;
}

void BillFileTest::figuresKeepEveryBit()
{
    QFETCH(double, quantity);
    Bill bill;
    bill.entries = {{QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC),
                     QStringLiteral("w"),
                     QString(),
                     {material(QStringLiteral("м"), QStringLiteral("кг"), quantity)}}};
    const billfile::Reading reading = billfile::decode(billfile::encode(bill));
    QVERIFY(reading.bill);
    QCOMPARE(*reading.bill->entries[0].materials[0].quantity, quantity);
}

void BillFileTest::badFilesAreRefusedWithAReason_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = billfile::encode(sampleBill());
    const QByteArray head = "{\"format\": \"merilon-bom\", \"version\": 1, ";
    QTest::newRow("empty") << QByteArray() << "Файл пуст: в нем нет ведомости материалов.";
    QTest::newRow("only blanks") << QByteArray(" \n\t ")
                                 << "Файл пуст: в нем нет ведомости материалов.";
    QTest::newRow("truncated") << good.left(good.size() / 2)
                               << "Файл ведомости обрезан: он кончается раньше, чем ведомость.";
    QTest::newRow("damaged in the middle")
        << QByteArray(good).replace("\"entries\": [", "\"entries\": [}")
        << QStringLiteral("Файл ведомости поврежден: ошибка в байте %1 из %2.")
               .arg(good.indexOf("\"entries\": [") + 13)
               .arg(good.size() + 1);
    QTest::newRow("plain text") << QByteArray("Итоги расчета")
                                << "Это не файл ведомости материалов «Мерилон 3».";
    QTest::newRow("another JSON file")
        << QByteArray("{\"name\": \"x\"}") << "Это не файл ведомости материалов «Мерилон 3».";
    QTest::newRow("JSON array") << QByteArray("[1, 2]")
                                << "Это не файл ведомости материалов «Мерилон 3».";
    QTest::newRow("newer version")
        << QByteArray("{\"format\": \"merilon-bom\", \"version\": 2, \"entries\": []}")
        << "Ведомость сохранена более новой версией программы (формат 2), а эта версия "
           "открывает формат 1. Обновите программу, чтобы открыть файл.";
    QTest::newRow("version as text")
        << QByteArray("{\"format\": \"merilon-bom\", \"version\": \"1\", \"entries\": []}")
        << "Файл ведомости поврежден: неизвестная версия формата.";
    QTest::newRow("version 0")
        << QByteArray("{\"format\": \"merilon-bom\", \"version\": 0, \"entries\": []}")
        << "Файл ведомости поврежден: неизвестная версия формата.";
    QTest::newRow("no entries") << head + "\"terms\": []}"
                                << "Файл ведомости поврежден: ведомость, поле «entries» — "
                                   "ожидалось список.";
    QTest::newRow("entry is a number") << head + "\"entries\": [5]}"
                                       << "Файл ведомости поврежден: запись 1 — ожидалось объект.";
    QTest::newRow("quantity as text")
        << head + "\"entries\": [{\"added\": \"2026-12-07T09:00:00Z\", \"work\": \"w\", "
                  "\"inputs\": \"\", \"materials\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"quantity\": \"1,5\"}]}]}"
        << "Файл ведомости поврежден: запись 1, материал 1, поле «quantity» — ожидалось число.";
    QTest::newRow("bad date")
        << head + "\"entries\": [{\"added\": \"вчера\", \"work\": \"w\", \"inputs\": \"\", "
                  "\"materials\": []}]}"
        << "Файл ведомости поврежден: запись 1, поле «added» — ожидалось дата и время.";
    QTest::newRow("work as a number")
        << head + "\"entries\": [{\"added\": \"2026-12-07T09:00:00Z\", \"work\": 3, "
                  "\"inputs\": \"\", \"materials\": []}]}"
        << "Файл ведомости поврежден: запись 1, поле «work» — ожидалось текст.";
    QTest::newRow("terms not a list") << head + "\"entries\": [], \"terms\": {}}"
                                      << "Файл ведомости поврежден: ведомость, поле «terms» — "
                                         "ожидалось список.";
    QTest::newRow("negative reserve")
        << head + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"reservePercent\": -1}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «reservePercent» — ожидалось "
           "число от 0 до 1000.";
    QTest::newRow("pack of zero")
        << head + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"reservePercent\": 0, \"packSize\": 0}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «packSize» — ожидалось число "
           "больше нуля.";
    QTest::newRow("price in fractions of a kopeck")
        << head + "\"entries\": [], \"terms\": [{\"name\": \"Песок\", \"unit\": \"м3\", "
                  "\"reservePercent\": 0, \"priceKopecks\": 10.5}]}"
        << "Файл ведомости поврежден: условия закупки 1, поле «priceKopecks» — ожидалось целое "
           "число копеек.";
}

void BillFileTest::badFilesAreRefusedWithAReason()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = m_folder->filePath(QStringLiteral("плохой.merilon-bom"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const billfile::Reading reading = billfile::read(path);
    QCOMPARE(reading.failure, reason);
    QVERIFY(!reading.bill);
}

void BillFileTest::fileOfAHundredMegabytesIsRefusedUnread()
{
    const QString path = m_folder->filePath(QStringLiteral("огромный.merilon-bom"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(billfile::encode(sampleBill()).chopped(2)) > 0);
    QVERIFY(file.resize(100 * 1024 * 1024));
    file.close();
    QElapsedTimer timer;
    timer.start();
    const billfile::Reading reading = billfile::read(path);
    QCOMPARE(reading.failure,
             QStringLiteral("Файл слишком велик для ведомости материалов (больше 64 МБ)."));
    QVERIFY(timer.elapsed() < 1000);
}

void BillFileTest::failedSaveKeepsThePreviousFile()
{
    const QString path = m_folder->filePath(QStringLiteral("дом.merilon-bom"));
    QCOMPARE(billfile::write(sampleBill(), path), std::nullopt);
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    const QByteArray before = previous.readAll();
    previous.close();
    Bill changed = sampleBill();
    changed.entries.append(changed.entries);

#ifdef Q_OS_UNIX
    // The disk runs out of room halfway: a file size limit stops the write, even for root.
    struct rlimit limit;
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const struct rlimit small = {rlim_t(before.size() / 2), limit.rlim_max};
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    const std::optional<QString> failure = billfile::write(changed, path);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, oldHandler);
    QCOMPARE(failure, QStringLiteral("Ведомость не сохранена: ошибка записи в файл «%1» (нет места "
                                     "на диске?). Прежний файл не изменен.")
                          .arg(path));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), before);
    previous.close();
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("дом.merilon-bom")});
#endif

    // A file the user has marked read-only stays as it is.
    QVERIFY(previous.setPermissions(QFile::ReadOwner | QFile::ReadGroup));
    QCOMPARE(billfile::write(changed, path),
             QStringLiteral("Ведомость не сохранена: файл «%1» защищен от записи.").arg(path));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), before);
}

void BillFileTest::saveIntoAMissingFolderSaysSo()
{
    const QString path = m_folder->filePath(QStringLiteral("нет/дом.merilon-bom"));
    QCOMPARE(billfile::write(sampleBill(), path),
             QStringLiteral("Ведомость не сохранена: нет папки «%1».")
                 .arg(m_folder->filePath(QStringLiteral("нет"))));
}

void BillFileTest::csvIsExactToTheByte()
{
    const Bill bill = sampleBill();
    const QByteArray csv = billcsv::encode(bill, computeTotals(bill));
    // Moscow time: the entries were added at 09:05 and 09:07 UTC.
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "Материал;Ед.;Количество;Запас, %;С запасом;Фасовка;Упаковок;Цена, руб.;Сумма, руб.\r\n"
        "Кирпич глиняный обыкновенный;шт.;5392,08;2,5;5526,88;;;18,50;102247,32\r\n"
        "Раствор;м3;3,3148;5;3,48054;0,5;7;4200,00;29400,00\r\n"
        "Смазка;;—;0;—;;;;—\r\n"
        "Итого;;;;;;;;131647,32\r\n"
        "\r\n"
        "Добавлено;Работа;Условия;Материал;Ед.;Количество\r\n"
        "07.12.2026 12:05;Кирпичная кладка 1,5 кирпича (380 мм.);\"Длина стены по периметру 12 м; "
        "Высота стены по периметру 3 м\";Кирпич глиняный обыкновенный;шт.;5392,08\r\n"
        "07.12.2026 12:05;Кирпичная кладка 1,5 кирпича (380 мм.);\"Длина стены по периметру 12 м; "
        "Высота стены по периметру 3 м\";Раствор;м3;3,2148\r\n"
        "07.12.2026 12:07;\"Фундаменты; \"\"под колонны\"\"\";Длина 2 м;Смазка;;—\r\n"
        "07.12.2026 12:07;\"Фундаменты; \"\"под колонны\"\"\";Длина 2 м;Раствор;м3;0,1\r\n";
    QCOMPARE(csv, expected);
}

QTEST_GUILESS_MAIN(BillFileTest)
#include "tst_billfile.moc"
