#include "errorrecorder.h"
#include "windowdriver.h"

namespace {

const QStringList kFoundationValues{"Label30", "Label37", "Label38",
                                    "Label39", "Label40", "Label41"};
const QStringList kFoundationCaptions{"Бетон, м3",
                                      "Щиты опалубки 25 мм.",
                                      "Доски 40 мм",
                                      "Гвозди строительные 100 мм",
                                      "Проволока стальная 4 мм",
                                      "Смазка"};
const QStringList kGrassValues{"Label54", "Label55", "Label56", "Label57",
                               "Label58", "Label59", "Label45", "Label47"};

} // namespace

// The foundation and grass pages: the figures they can stand behind, and dashes elsewhere.
class FoundationGrassPagesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void volumeClick_data();
    void volumeClick();
    void volumeFailureKeepsTheOldVolume_data();
    void volumeFailureKeepsTheOldVolume();
    void foundationComputeShowsAndLogsSixRows();
    void foundationWithoutClassDoesNothing();
    void foundationClearHidesAndComputeShowsAgain();
    void foundationCaptionsExplainTheirFigures();
    void grassComputes_data();
    void grassComputes();
    void grassWithoutWayOrWithBadFieldChangesNothing();
    void grassClearHidesValues();

private:
    void typeDimensions(const QString &length, const QString &width, const QString &height);

    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void FoundationGrassPagesTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void FoundationGrassPagesTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void FoundationGrassPagesTest::typeDimensions(const QString &length, const QString &width,
                                              const QString &height)
{
    m_driver->clickNode(7);
    m_driver->type(QStringLiteral("Edit8"), length);
    m_driver->type(QStringLiteral("Edit9"), width);
    m_driver->type(QStringLiteral("Edit10"), height);
    m_driver->newJournalLines();
}

void FoundationGrassPagesTest::volumeClick_data()
{
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QString>("volume");
    QTest::newRow("worked example") << QStringList{"2", "1,5", "0,8"} << "2,4";
    QTest::newRow("zero") << QStringList{"0", "0", "0"} << "0";
    QTest::newRow("exponent form") << QStringList{"30", "20", "20"} << "1,2E004";
    QTest::newRow("negative") << QStringList{"2", "-1", "1"} << "-2";
}

void FoundationGrassPagesTest::volumeClick()
{
    QFETCH(QStringList, dimensions);
    QFETCH(QString, volume);
    typeDimensions(dimensions[0], dimensions[1], dimensions[2]);
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), QStringLiteral("0"));
    m_driver->click(QStringLiteral("Label36"));
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), volume);
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

void FoundationGrassPagesTest::volumeFailureKeepsTheOldVolume_data()
{
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad width before bad height")
        << QStringList{"2", "w", "h"} << "'w' is not a valid floating point value.";
    QTest::newRow("empty height") << QStringList{"2", "1", ""}
                                  << "'' is not a valid floating point value.";
    QTest::newRow("product beyond a double")
        << QStringList{"1E200", "1E200", "1"} << "Floating point overflow.";
}

void FoundationGrassPagesTest::volumeFailureKeepsTheOldVolume()
{
    QFETCH(QStringList, dimensions);
    QFETCH(QString, message);
    typeDimensions(QStringLiteral("2"), QStringLiteral("1,5"), QStringLiteral("0,8"));
    m_driver->click(QStringLiteral("Label36"));
    typeDimensions(dimensions[0], dimensions[1], dimensions[2]);
    m_driver->click(QStringLiteral("Label36"));
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), QStringLiteral("2,4"));
}

void FoundationGrassPagesTest::foundationComputeShowsAndLogsSixRows()
{
    typeDimensions(QStringLiteral("2"), QStringLiteral("1,5"), QStringLiteral("0,8"));
    for (const QString &name : kFoundationValues) {
        QVERIFY(m_driver->shown(name));
        QCOMPARE(m_driver->text(name), QStringLiteral("0"));
    }
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 0);
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), QStringLiteral("2,4"));
    const QStringList shown{"2,4", "5,6", "—", "—", "—", "—"};
    QStringList lines;
    for (int i = 0; i < shown.size(); ++i) {
        QCOMPARE(m_driver->text(kFoundationValues[i]), shown[i]);
        lines.append(kFoundationCaptions[i] + QStringLiteral(": ") + shown[i]);
    }
    QCOMPARE(m_driver->newJournalLines(), lines);
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->newJournalLines(), lines);
}

void FoundationGrassPagesTest::foundationWithoutClassDoesNothing()
{
    typeDimensions(QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("1"));
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label30")), QStringLiteral("0"));
}

void FoundationGrassPagesTest::foundationClearHidesAndComputeShowsAgain()
{
    typeDimensions(QStringLiteral("30"), QStringLiteral("20"), QStringLiteral("20"));
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 4);
    m_driver->click(QStringLiteral("BitBtn2"));
    const QStringList first = m_driver->newJournalLines();
    QCOMPARE(first.value(0), QStringLiteral("Бетон, м3: 1,2E004"));
    QCOMPARE(first.value(1), QStringLiteral("Щиты опалубки 25 мм.: 2000"));
    m_driver->click(QStringLiteral("BitBtn1"));
    for (const QString &name : kFoundationValues)
        QVERIFY(!m_driver->shown(name));
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), QStringLiteral("1,2E004"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit8"))->text(), QStringLiteral("30"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->click(QStringLiteral("BitBtn2"));
    for (const QString &name : kFoundationValues)
        QVERIFY(m_driver->shown(name));
    QCOMPARE(m_driver->newJournalLines(), first);

    m_driver->type(QStringLiteral("Edit10"), QStringLiteral("z"));
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_errors->messages(), QStringList{"'z' is not a valid floating point value."});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label30")), QStringLiteral("1,2E004"));
}

void FoundationGrassPagesTest::foundationCaptionsExplainTheirFigures()
{
    m_driver->clickNode(7);
    for (const char *caption : {"Label24", "Label25", "Label26", "Label27", "Label28", "Label29"})
        QVERIFY(!m_driver->widget(QString::fromLatin1(caption))->toolTip().isEmpty());
    QVERIFY(m_driver->widget(QStringLiteral("Label26"))->toolTip().contains(u"норма не задана"));
}

void FoundationGrassPagesTest::grassComputes_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("by hand") << 0 << QStringList{"0", "0", "2,4", "12", "—", "0", "0", "0"};
    QTest::newRow("with machines") << 1 << QStringList{"0", "0", "2,4", "0", "0", "0", "0", "0"};
    QTest::newRow("hydroseeding") << 2 << QStringList{"0", "0", "—", "0", "—", "—", "—", "—"};
}

void FoundationGrassPagesTest::grassComputes()
{
    QFETCH(int, way);
    QFETCH(QStringList, shown);
    m_driver->clickNode(17);
    m_driver->type(QStringLiteral("Edit11"), QStringLiteral("12"));
    m_driver->type(QStringLiteral("Edit12"), QStringLiteral("10"));
    m_driver->pickVariant(QStringLiteral("RadioGroup2"), way);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn4"));
    QCOMPARE(m_errors->messages(), QStringList());
    const QStringList ways{"Посев трав в ручную", "Посев трав с помощью механизмов",
                           "Посев трав гидропосевом, 1000 м2"};
    const QStringList captions{"Дерн, м2",
                               "Спицы  деревянные, м3",
                               "Семена трав, кг",
                               "Земля растительная, м3",
                               "Удобрения, кг",
                               "Эмульсия битумная, л.",
                               "Эмульсия латексная, л.",
                               "Опилки, м3"};
    QStringList block{QStringLiteral("Произведен расчет: ") + ways[way],
                      "Условия расчета:", "Размеры площадки: 12 x 10 м",
                      "Итоги расчета: необходимо материалов:"};
    for (int i = 0; i < kGrassValues.size(); ++i) {
        QVERIFY(m_driver->shown(kGrassValues[i]));
        QCOMPARE(m_driver->text(kGrassValues[i]), shown[i]);
        block.append(captions[i] + QStringLiteral(": ") + shown[i]);
    }
    QCOMPARE(m_driver->newJournalLines(), block);
}

void FoundationGrassPagesTest::grassWithoutWayOrWithBadFieldChangesNothing()
{
    m_driver->clickNode(17);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn4"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->pickVariant(QStringLiteral("RadioGroup2"), 0);
    m_driver->type(QStringLiteral("Edit11"), QStringLiteral("5"));
    m_driver->click(QStringLiteral("Edit12"));
    m_driver->click(QStringLiteral("BitBtn4"));
    QCOMPARE(m_errors->messages(), QStringList{"'' is not a valid floating point value."});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    for (const QString &name : kGrassValues)
        QVERIFY(!m_driver->shown(name));
}

void FoundationGrassPagesTest::grassClearHidesValues()
{
    m_driver->clickNode(17);
    m_driver->pickVariant(QStringLiteral("RadioGroup2"), 1);
    m_driver->click(QStringLiteral("BitBtn4"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn3"));
    m_driver->click(QStringLiteral("BitBtn3"));
    for (const QString &name : kGrassValues)
        QVERIFY(!m_driver->shown(name));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

QTEST_MAIN(FoundationGrassPagesTest)
#include "tst_foundationgrasspages.moc"
