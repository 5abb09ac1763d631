#include "errorrecorder.h"
#include "windowdriver.h"

namespace {

QString valueLabel(int row)
{
    static const char *const names[] = {"Label90", "Label91", "Label92",  "Label93",
                                        "Label94", "Label95", "Label96",  "Label97",
                                        "Label98", "Label99", "Label100", "Label102"};
    return QString::fromLatin1(names[row - 1]);
}

} // namespace

class UnderlayPageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void computesRowsOfTheKind_data();
    void computesRowsOfTheKind();
    void logsTheWholeBlock();
    void eachKindLogsItsNames_data();
    void eachKindLogsItsNames();
    void nothingSelectedComputesNothing();
    void choosingAKindLogsAndWipesValues();
    void conversionErrorChangesNothing();
    void clearResetsEverythingSilently();
    void clickInVolumeKeepsItsText();

private:
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void UnderlayPageTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
    m_driver->clickNode(13);
}

void UnderlayPageTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void UnderlayPageTest::computesRowsOfTheKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("crushed stone at 1")
        << 2 << "1" << QList<int>{3, 4, 5} << QStringList{"0,97", "0,09", "0,16"};
    QTest::newRow("cobblestone at 1")
        << 7 << "1" << QList<int>{12, 3, 1} << QStringList{"0,74", "0,17", "0,095"};
    QTest::newRow("acid-resistant at 1")
        << 9 << "1" << QList<int>{10, 11} << QStringList{"1,02", "26"};
    QTest::newRow("cobblestone at 3")
        << 7 << "3" << QList<int>{12, 3, 1} << QStringList{"2,22", "0,51", "0,285"};
    QTest::newRow("oily clay at 2")
        << 4 << "2" << QList<int>{6, 1, 7} << QStringList{"0,86", "1,96", "157"};
    QTest::newRow("sand beyond four digits")
        << 0 << "10000" << QList<int>{1} << QStringList{"1,11E004"};
    QTest::newRow("acid-resistant at five digits")
        << 9 << "10000" << QList<int>{10, 11} << QStringList{"10200", "2,6E0005"};
    QTest::newRow("negative volume") << 1 << "-2" << QList<int>{2} << QStringList{"-2,46"};
}

void UnderlayPageTest::computesRowsOfTheKind()
{
    QFETCH(int, kind);
    QFETCH(QString, volume);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, shown);
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), kind);
    m_driver->type(QStringLiteral("Edit15"), volume);
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_errors->messages(), QStringList());
    for (int row = 1; row <= 12; ++row) {
        const qsizetype at = rows.indexOf(row);
        QCOMPARE(m_driver->shown(valueLabel(row)), at >= 0);
        QCOMPARE(m_driver->text(valueLabel(row)), at >= 0 ? shown[at] : QStringLiteral("0.00"));
    }
}

void UnderlayPageTest::eachKindLogsItsNames_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("computed");
    QTest::newRow("kind 0") << 0 << "Устройство подстилающего слоя из песка"
                            << "Устройство подстилающего слоя из песка";
    QTest::newRow("kind 1") << 1 << "Устройство подстилающего слоя из шлака"
                            << "Устройство подстилающего слоя из шлака";
    QTest::newRow("kind 2") << 2 << "Устройство подстиляющего слоя из щебня"
                            << "Устройство подстиляющего слоя из щебня";
    QTest::newRow("kind 3") << 3 << "Устройство глинобитного подстилающего слоя без добавок"
                            << "Устройство глинобитного подстилающего слоя без добавок";
    QTest::newRow("kind 4")
        << 4 << "Устройство глинобитного подстилающего слоя с масляннистыми добавками"
        << "Устройство глинобитного подстилающего слоя с масляннистыми добавками";
    QTest::newRow("kind 5") << 5 << "Устройство глинобитного подстилающего слоя с добавлением щебня"
                            << "Устройство глинобитного подстилающего слоя с добавкой щебня";
    QTest::newRow("kind 6") << 6 << "Устройство глинобетонного подстилающего слоя"
                            << "Устройство глинобетонного подстилающего слоя";
    QTest::newRow("kind 7") << 7 << "Устройство булыжного подстилающего слоя"
                            << "Устройство булыжного подстилающего слоя";
    QTest::newRow("kind 8") << 8 << "Устройство бетонного подстилающего слоя"
                            << "Устройство бетонного подстилающего слоя";
    QTest::newRow("kind 9") << 9 << "Устройство кислотоупорного подстилающего слоя"
                            << "Устройство бетонного подстилающего слоя";
}

void UnderlayPageTest::eachKindLogsItsNames()
{
    QFETCH(int, kind);
    QFETCH(QString, chosen);
    QFETCH(QString, computed);
    m_driver->newJournalLines();
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), kind);
    QCOMPARE(m_driver->newJournalLines(), QStringList{QStringLiteral("Выбрано:  ") + chosen});
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_driver->newJournalLines().value(0),
             QStringLiteral("Произведен расчет: ") + computed);
}

void UnderlayPageTest::logsTheWholeBlock()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 4);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button1"));
    const QStringList block{
        "Произведен расчет: Устройство глинобитного подстилающего слоя с масляннистыми добавками",
        "Условия расчета:",
        "Объем подстилающего слоя: 1 куб. метр(ов)",
        "Итоги расчета: необходимо материалов:",
        "Глина, куб. метр: 0,43",
        "Песок, куб. метр: 0,98",
        "Битум БН-60/90, кг.: 78,5"};
    QCOMPARE(m_driver->newJournalLines(), block);
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_driver->newJournalLines(), block);

    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 0);
    m_driver->type(QStringLiteral("Edit15"), QStringLiteral("2,50"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_driver->newJournalLines(),
             (QStringList{"Произведен расчет: Устройство подстилающего слоя из песка",
                          "Условия расчета:", "Объем подстилающего слоя: 2,50 куб. метр(ов)",
                          "Итоги расчета: необходимо материалов:", "Песок, куб. метр: 2,775"}));

    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 9);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_driver->newJournalLines().value(0),
             QStringLiteral("Произведен расчет: Устройство бетонного подстилающего слоя"));
}

void UnderlayPageTest::nothingSelectedComputesNothing()
{
    m_driver->type(QStringLiteral("Edit15"), QStringLiteral("не число"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    for (int row = 1; row <= 12; ++row)
        QVERIFY(!m_driver->shown(valueLabel(row)));
}

void UnderlayPageTest::choosingAKindLogsAndWipesValues()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 0);
    m_driver->click(QStringLiteral("Button1"));
    m_driver->newJournalLines();
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 0);
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QVERIFY(m_driver->shown(valueLabel(1)));

    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 3);
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{"Выбрано:  Устройство глинобитного подстилающего слоя без добавок"});
    QVERIFY(!m_driver->shown(valueLabel(1)));
    QCOMPARE(m_driver->text(valueLabel(1)), QStringLiteral("0.00"));
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 5);
    QCOMPARE(
        m_driver->newJournalLines(),
        QStringList{"Выбрано:  Устройство глинобитного подстилающего слоя с добавлением щебня"});
}

void UnderlayPageTest::conversionErrorChangesNothing()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 2);
    m_driver->click(QStringLiteral("Button1"));
    m_driver->type(QStringLiteral("Edit15"), QStringLiteral("1.5"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_errors->messages(), QStringList{"'1.5' is not a valid floating point value."});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_driver->text(valueLabel(3)), QStringLiteral("0,97"));

    m_driver->type(QStringLiteral("Edit15"), QStringLiteral("1E309"));
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_errors->messages().value(1), QStringLiteral("Floating point overflow."));
    QCOMPARE(m_driver->text(valueLabel(3)), QStringLiteral("0,97"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

void UnderlayPageTest::clearResetsEverythingSilently()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 7);
    m_driver->type(QStringLiteral("Edit15"), QStringLiteral("3"));
    m_driver->click(QStringLiteral("Button1"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button2"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit15"))->text(), QStringLiteral("1"));
    for (int row = 1; row <= 12; ++row) {
        QVERIFY(!m_driver->shown(valueLabel(row)));
        QCOMPARE(m_driver->text(valueLabel(row)), QStringLiteral("0.00"));
    }
    m_driver->click(QStringLiteral("Button1"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 7);
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{"Выбрано:  Устройство булыжного подстилающего слоя"});
}

void UnderlayPageTest::clickInVolumeKeepsItsText()
{
    m_driver->click(QStringLiteral("Edit15"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit15"))->text(), QStringLiteral("1"));
}

QTEST_MAIN(UnderlayPageTest)
#include "tst_underlaypage.moc"
