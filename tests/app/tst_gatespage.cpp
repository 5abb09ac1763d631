#include "errorrecorder.h"
#include "windowdriver.h"

#include <QApplication>

namespace {

const QStringList kValues{"Label125", "Label126", "Label127", "Label128",
                          "Label129", "Label130", "Label131"};
const QStringList kCaptions{"Бревна 180 мм., м3", "Бруски 50-60 мм., м3", "Доски 19-22 мм, м3",
                            "Доск 25-32 мм., м3", "Болты и поковки, кг.", "Смола, кг.",
                            "Гвозди, кг."};

} // namespace

class GatesPageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void computesSevenRows_data();
    void computesSevenRows();
    void logsSelectionOnlyOnChange();
    void nothingSelectedLogsNothing();
    void failureChangesNothing_data();
    void failureChangesNothing();
    void clearHidesValuesAndResetsInput();

private:
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void GatesPageTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
    m_driver->clickNode(9);
}

void GatesPageTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void GatesPageTest::computesSevenRows_data()
{
    QTest::addColumn<int>("work");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("journalName");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("blind gates at 1") << 0 << "1"
                                      << "Устройство глухих ворот с устновкой столбов"
                                      << QStringList{"2", "2,5", "2,1", "0", "35", "26,6", "3,6"};
    QTest::newRow("lattice 2,0 m at 2,5")
        << 3 << "2,5"
        << "Устройство решетчитых ворот высотой 2,0 метра"
        << QStringList{"9,375", "9,5", "0", "1,575", "110", "66,5", "7,75"};
    QTest::newRow("lattice 1,2 m at 0,37")
        << 1 << "0,37"
        << "Устройство решетчитых ворот высотой 1,2 метра"
        << QStringList{"1,295", "1,3172", "0", "0,7289", "26,64", "9,842", "1,776"};
    QTest::newRow("second lattice 1,2 m has its own bars rate")
        << 5 << "1"
        << "Устройство решетчитых ворот высотой 1,2 метра"
        << QStringList{"0", "3,6", "0", "1,97", "72", "0", "4,8"};
    QTest::newRow("five integer digits still fit")
        << 0 << "1000"
        << "Устройство глухих ворот с устновкой столбов"
        << QStringList{"2000", "2500", "2100", "0", "35000", "26600", "3600"};
    QTest::newRow("six digits take the exponent form")
        << 0 << "10000"
        << "Устройство глухих ворот с устновкой столбов"
        << QStringList{"20000", "25000", "21000", "0", "3,5E0005", "2,66E0005", "36000"};
    QTest::newRow("negative area times zero rate shows zero")
        << 7 << "-1"
        << "Устройство глухих ворот при установ. столбах высотой 2,0 метра"
        << QStringList{"0", "-3,8", "0", "-0,63", "-44", "0", "-3,1"};
}

void GatesPageTest::computesSevenRows()
{
    QFETCH(int, work);
    QFETCH(QString, area);
    QFETCH(QString, journalName);
    QFETCH(QStringList, shown);
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), work);
    m_driver->type(QStringLiteral("Edit17"), area);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button5"));
    QCOMPARE(m_errors->messages(), QStringList());
    QStringList block{QStringLiteral("Произведен расчет: ") + journalName, "Условия расчета:",
                      QStringLiteral("Площадь конструкций: %1 - ед.изм.( 100 м2 ворот )").arg(area),
                      "Итоги расчета: необходимо материалов:"};
    for (int i = 0; i < kValues.size(); ++i) {
        QVERIFY(m_driver->shown(kValues[i]));
        QCOMPARE(m_driver->text(kValues[i]), shown[i]);
        block.append(kCaptions[i] + QStringLiteral(": ") + shown[i]);
    }
    QCOMPARE(m_driver->newJournalLines(), block);
    m_driver->click(QStringLiteral("Button5"));
    QCOMPARE(m_driver->newJournalLines(), block);
}

void GatesPageTest::logsSelectionOnlyOnChange()
{
    m_driver->newJournalLines();
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), 6);
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), 6);
    QCOMPARE(
        m_driver->newJournalLines(),
        QStringList{"Выбрано:  Устройство глухих ворот при установ. столбах высотой 1,6 метра"});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(
        m_driver->newJournalLines(),
        QStringList{"Выбрано:  Устройство глухих ворот при установ. столбах высотой 2,0 метра"});
}

// Results of an earlier computation must not be logged against new conditions.
void GatesPageTest::nothingSelectedLogsNothing()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), 0);
    m_driver->click(QStringLiteral("Button5"));
    m_driver->click(QStringLiteral("Button6"));
    m_driver->type(QStringLiteral("Edit17"), QStringLiteral("abc"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button5"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_errors->messages(), QStringList());
    for (const QString &name : kValues)
        QVERIFY(!m_driver->shown(name));
}

void GatesPageTest::failureChangesNothing_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("message");
    QTest::newRow("point instead of comma") << "1.5"
                                            << "'1.5' is not a valid floating point value.";
    QTest::newRow("empty") << ""
                           << "'' is not a valid floating point value.";
    QTest::newRow("bolts beyond a double") << "1E307"
                                           << "Floating point overflow.";
}

void GatesPageTest::failureChangesNothing()
{
    QFETCH(QString, area);
    QFETCH(QString, message);
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), 0);
    m_driver->type(QStringLiteral("Edit17"), area);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button5"));
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    for (const QString &name : kValues) {
        QVERIFY(!m_driver->shown(name));
        QCOMPARE(m_driver->text(name), QStringLiteral("0,00"));
    }
}

void GatesPageTest::clearHidesValuesAndResetsInput()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), 2);
    m_driver->type(QStringLiteral("Edit17"), QStringLiteral("2"));
    m_driver->click(QStringLiteral("Button5"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button6"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit17"))->text(), QStringLiteral("1"));
    for (const QString &name : kValues)
        QVERIFY(!m_driver->shown(name));
    QCOMPARE(m_driver->text(QStringLiteral("Label125")), QStringLiteral("7,6"));
    m_driver->pickVariant(QStringLiteral("RadioGroup6"), 2);
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{"Выбрано:  Устройство решетчитых ворот высотой 1,6 метра"});
}

QTEST_MAIN(GatesPageTest)
#include "tst_gatespage.moc"
