#include "errorrecorder.h"
#include "windowdriver.h"

namespace {

const QStringList kValues{"Label69", "Label70", "Label71", "Label72", "Label73", "Label74"};
const QStringList kCaptions{
    "Олифа, кг", "Краски тертые, кг", "Состав окрасочный, кг", "Сурик железный тертый, кг.",
    "Олифа,кг ", "Ветошь,кг"};
const QStringList kCoats{"Окраска в один слой", "Окраска в два слоя"};

} // namespace

class PaintingPageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void computesAreaAndMaterials_data();
    void computesAreaAndMaterials();
    void conversionErrorChangesNothing();
    void areaOverflowChangesNothing();
    void clearHidesValuesAndKeepsInputs();

private:
    void computeWith(const QString &a, const QString &b, int coats);

    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void PaintingPageTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
    m_driver->clickNode(11);
}

void PaintingPageTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void PaintingPageTest::computeWith(const QString &a, const QString &b, int coats)
{
    m_driver->type(QStringLiteral("Edit13"), a);
    m_driver->type(QStringLiteral("Edit14"), b);
    m_driver->pickVariant(QStringLiteral("RadioGroup3"), coats);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn6"));
}

void PaintingPageTest::computesAreaAndMaterials_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("coats");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("one coat") << "5"
                              << "2" << 0 << "10"
                              << QStringList{"0,28", "0,056", "1,87", "0,27", "1,6", "0,01"};
    QTest::newRow("two coats") << "5"
                               << "2" << 1 << "10"
                               << QStringList{"0,29", "0,058", "2,51", "0,58", "1,93", "0,01"};
    QTest::newRow("two coats, fractions")
        << "10"
        << "2,5" << 1 << "25" << QStringList{"0,725", "0,145", "6,275", "1,45", "4,825", "0,025"};
    QTest::newRow("four significant digits")
        << "3,3"
        << "1,7" << 0 << "5,61"
        << QStringList{"0,1571", "0,03142", "1,049", "0,1515", "0,8976", "0,00561"};
    QTest::newRow("zero sides") << "0"
                                << "0" << 0 << "0" << QStringList{"0", "0", "0", "0", "0", "0"};
}

void PaintingPageTest::computesAreaAndMaterials()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, coats);
    QFETCH(QString, area);
    QFETCH(QStringList, shown);
    computeWith(a, b, coats);
    QCOMPARE(m_errors->messages(), QStringList());
    QVERIFY(m_driver->shown(QStringLiteral("Label104")));
    QCOMPARE(m_driver->text(QStringLiteral("Label104")), area);
    QStringList block{"Условия расчета:", kCoats[coats], "Необходимые материалы:"};
    for (int i = 0; i < kValues.size(); ++i) {
        QVERIFY(m_driver->shown(kValues[i]));
        QCOMPARE(m_driver->text(kValues[i]), shown[i]);
        block.append(kCaptions[i] + QStringLiteral(": ") + shown[i]);
    }
    QCOMPARE(m_driver->newJournalLines(), block);
    m_driver->click(QStringLiteral("BitBtn6"));
    QCOMPARE(m_driver->newJournalLines(), block);
}

void PaintingPageTest::conversionErrorChangesNothing()
{
    computeWith(QStringLiteral("5"), QStringLiteral("2"), 0);
    m_driver->click(QStringLiteral("BitBtn5"));
    m_driver->newJournalLines();
    m_driver->type(QStringLiteral("Edit13"), QStringLiteral("abc"));
    m_driver->type(QStringLiteral("Edit14"), QStringLiteral("def"));
    m_driver->click(QStringLiteral("BitBtn6"));
    QCOMPARE(m_errors->messages(), QStringList{"'abc' is not a valid floating point value."});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QVERIFY(!m_driver->shown(QStringLiteral("Label104")));
    QCOMPARE(m_driver->text(QStringLiteral("Label104")), QStringLiteral("10"));
}

void PaintingPageTest::areaOverflowChangesNothing()
{
    computeWith(QStringLiteral("1E200"), QStringLiteral("1E200"), 0);
    QCOMPARE(m_errors->messages(), QStringList{"Floating point overflow."});
    QVERIFY(!m_driver->shown(QStringLiteral("Label104")));
    QCOMPARE(m_driver->text(QStringLiteral("Label104")), QString());
    for (const QString &name : kValues) {
        QVERIFY(!m_driver->shown(name));
        QCOMPARE(m_driver->text(name), QStringLiteral("0"));
    }
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

void PaintingPageTest::clearHidesValuesAndKeepsInputs()
{
    computeWith(QStringLiteral("5"), QStringLiteral("2"), 1);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn5"));
    QVERIFY(!m_driver->shown(QStringLiteral("Label104")));
    for (const QString &name : kValues)
        QVERIFY(!m_driver->shown(name));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit13"))->text(), QStringLiteral("5"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit14"))->text(), QStringLiteral("2"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->click(QStringLiteral("BitBtn6"));
    QCOMPARE(m_driver->newJournalLines().value(1), QStringLiteral("Окраска в два слоя"));
}

QTEST_MAIN(PaintingPageTest)
#include "tst_paintingpage.moc"
