#include "errorrecorder.h"
#include "windowdriver.h"

#include <QPlainTextEdit>

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
    void foundationBadDimensionShowsLabelsAndLogsNothing_data();
    void foundationBadDimensionShowsLabelsAndLogsNothing();
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
    // The starting texts are what a computation on the starting dimensions shows.
    m_driver->clickNode(7);
    m_driver->newJournalLines();
    const QStringList atStart{"0", "0", "—", "—", "—", "—"};
    for (int i = 0; i < atStart.size(); ++i) {
        QVERIFY(m_driver->shown(kFoundationValues[i]));
        QCOMPARE(m_driver->text(kFoundationValues[i]), atStart[i]);
    }
    typeDimensions(QStringLiteral("2"), QStringLiteral("1,5"), QStringLiteral("0,8"));
    // No size class is chosen: the figures of the dimensions are filled all the same.
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), QStringLiteral("0"));
    const QStringList lines{"Бетон, м3: 2,4",
                            "Щиты опалубки 25 мм.: 5,6",
                            "Доски 40 мм: —",
                            "Гвозди строительные 100 мм: —",
                            "Проволока стальная 4 мм: —",
                            "Смазка: —"};
    QCOMPARE(m_driver->newJournalLines(), lines);
    // The panel shows what the journal holds.
    auto *panel = m_driver->widget<QPlainTextEdit>(QStringLiteral("Memo2"));
    QTRY_VERIFY(panel->toPlainText().endsWith(u'\n' + lines.join(u'\n')));
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 0);
    m_driver->click(QStringLiteral("BitBtn2"));
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->newJournalLines(), lines + lines);
}

void FoundationGrassPagesTest::foundationBadDimensionShowsLabelsAndLogsNothing_data()
{
    QTest::addColumn<QStringList>("dimensions");
    QTest::addColumn<QString>("message");
    QTest::newRow("length read first")
        << QStringList{"x", "y", ""} << "'x' is not a valid floating point value.";
    QTest::newRow("width before height")
        << QStringList{"1", "y", ""} << "'y' is not a valid floating point value.";
    QTest::newRow("empty height") << QStringList{"1", "2", ""}
                                  << "'' is not a valid floating point value.";
}

void FoundationGrassPagesTest::foundationBadDimensionShowsLabelsAndLogsNothing()
{
    QFETCH(QStringList, dimensions);
    QFETCH(QString, message);
    m_driver->click(QStringLiteral("BitBtn1"));
    typeDimensions(dimensions[0], dimensions[1], dimensions[2]);
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    for (const QString &name : kFoundationValues)
        QVERIFY2(m_driver->shown(name), qPrintable(name));
    QCOMPARE(m_driver->text(QStringLiteral("Label30")), QStringLiteral("0"));
    QCOMPARE(m_driver->text(QStringLiteral("Label38")), QStringLiteral("—"));
}

void FoundationGrassPagesTest::foundationClearHidesAndComputeShowsAgain()
{
    // At start, before anything is typed.
    m_driver->clickNode(7);
    m_driver->click(QStringLiteral("BitBtn1"));
    for (const QString &name : kFoundationValues)
        QVERIFY(!m_driver->shown(name));
    m_driver->click(QStringLiteral("BitBtn2"));
    const QStringList atStart{"0", "0", "—", "—", "—", "—"};
    for (int i = 0; i < atStart.size(); ++i) {
        QVERIFY(m_driver->shown(kFoundationValues[i]));
        QCOMPARE(m_driver->text(kFoundationValues[i]), atStart[i]);
    }
    m_driver->newJournalLines();

    typeDimensions(QStringLiteral("30"), QStringLiteral("20"), QStringLiteral("20"));
    m_driver->click(QStringLiteral("Label36"));
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

    // The volume label keeps what its link computed, whatever the compute button shows.
    typeDimensions(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->text(QStringLiteral("Label30")), QStringLiteral("1"));
    QCOMPARE(m_driver->text(QStringLiteral("Label35")), QStringLiteral("1,2E004"));
}

void FoundationGrassPagesTest::foundationCaptionsExplainTheirFigures()
{
    m_driver->clickNode(7);
    const auto tip = [this](const char *name) {
        return m_driver->widget(QString::fromLatin1(name))->toolTip();
    };
    QCOMPARE(tip("Label24"), QStringLiteral("Бетон = длина × ширина × высота"));
    QCOMPARE(tip("Label37"),
             QStringLiteral("Щиты опалубки 25 мм. = 2 × (длина + ширина) × высота"));
    QCOMPARE(tip("Label26"), QStringLiteral("Доски 40 мм — выберите класс фундамента"));
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 2);
    // A row without a published rate offers to take one from a norm.
    QCOMPARE(tip("Label41"),
             QStringLiteral("Смазка — норма не задана\nЧтобы взять расход из нормы, щелкните "
                            "название строки правой кнопкой мыши и выберите «Выбрать норму...»."));
    QCOMPARE(tip("Label24"), QStringLiteral("Бетон = длина × ширина × высота"));
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
