#include "errorrecorder.h"
#include "windowdriver.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

const QStringList kTyped{"Edit1", "Edit2", "Edit4", "Edit5", "Edit6", "Edit7"};
const QStringList kValues{"Label23", "Label17", "Label18", "Label19"};

} // namespace

class MasonryPageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void computesByNodeAndWall_data();
    void computesByNodeAndWall();
    void failureLeavesValuesShownWithOldTexts_data();
    void failureLeavesValuesShownWithOldTexts();
    void clearResetsTypedFieldsAndHidesValues();
    void clickEmptiesFieldEveryTimeButTabSelects();
    void acceleratorsAnswerOnlyOnVisiblePage();
    void pastedTextIsReadWhole();
    void enterPressesOnlyAFocusedButton_data();
    void enterPressesOnlyAFocusedButton();

private:
    void computeWith(int place, const QStringList &typed);

    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void MasonryPageTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void MasonryPageTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void MasonryPageTest::computeWith(int place, const QStringList &typed)
{
    m_driver->clickNode(place);
    for (int i = 0; i < typed.size(); ++i)
        m_driver->type(kTyped[i], typed[i]);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn9"));
}

void MasonryPageTest::computesByNodeAndWall_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("one brick, plain wall") << 2 << QStringList{"12", "3", "0", "0", "0", "0"}
                                           << QStringList{"9", "3600", "1,998", "0,009"};
    QTest::newRow("two and a half bricks with openings")
        << 5 << QStringList{"10", "3", "2", "1,5", "1", "2"}
        << QStringList{"16", "6272", "3,936", "0,016"};
    QTest::newRow("fractional brick count") << 4 << QStringList{"10", "3", "2", "1,5", "1", "2"}
                                            << QStringList{"12,75", "5023,5", "3,009", "0,01275"};
    QTest::newRow("plugs below a ten-thousandth in exponent form")
        << 2 << QStringList{"1", "0,2", "0", "0", "0", "0"}
        << QStringList{"0,05", "20", "0,0111", "5E-005"};
    QTest::newRow("bricks in exponent form, one exponent digit")
        << 2 << QStringList{"0,0001", "0,001", "0", "0", "0", "0"}
        << QStringList{"2,5E-008", "1E-5", "5,55E-009", "2,5E-011"};
    QTest::newRow("all zero") << 3 << QStringList{"0", "0", "0", "0", "0", "0"}
                              << QStringList{"0", "0", "0", "0"};
    QTest::newRow("openings larger than the wall")
        << 3 << QStringList{"2", "1", "3", "1", "0", "0"}
        << QStringList{"-0,38", "-150,1", "-0,0893", "-0,00038"};
    QTest::newRow("blanks and sign are read") << 2 << QStringList{" 12 ", "+3", "0", "0", "0", "0"}
                                              << QStringList{"9", "3600", "1,998", "0,009"};
}

void MasonryPageTest::computesByNodeAndWall()
{
    QFETCH(int, place);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    computeWith(place, typed);
    QCOMPARE(m_errors->messages(), QStringList());
    const QStringList captions{"Объем кирпичной кладки, м3.", "Кирпич глиняный обыкновенный, шт.",
                               "Раствор, м3", "Пробки деревянные, м3"};
    QStringList block{"Итоги произведенного расчета:"};
    for (int i = 0; i < kValues.size(); ++i) {
        QVERIFY(m_driver->shown(kValues[i]));
        QCOMPARE(m_driver->text(kValues[i]), shown[i]);
        block.append(captions[i] + QStringLiteral(": ") + shown[i]);
    }
    QCOMPARE(m_driver->newJournalLines(), block);

    m_driver->click(QStringLiteral("BitBtn9"));
    QCOMPARE(m_driver->newJournalLines(), block);
}

void MasonryPageTest::failureLeavesValuesShownWithOldTexts_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty length") << QStringList{""} << "'' is not a valid floating point value.";
    QTest::newRow("first bad field is named")
        << QStringList{"12", "3", "0", "x", "0", "y"} << "'x' is not a valid floating point value.";
    QTest::newRow("point instead of comma")
        << QStringList{"12.5"} << "'12.5' is not a valid floating point value.";
    QTest::newRow("wall area beyond a double")
        << QStringList{"1E300", "1E10", "z"} << "Floating point overflow.";
}

void MasonryPageTest::failureLeavesValuesShownWithOldTexts()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, message);
    computeWith(2, {"12", "3", "0", "0", "0", "0"});
    m_driver->click(QStringLiteral("BitBtn8"));
    m_driver->newJournalLines();
    for (int i = 0; i < typed.size(); ++i)
        m_driver->type(kTyped[i], typed[i]);
    m_driver->click(QStringLiteral("BitBtn9"));
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    const QStringList previous{"9", "3600", "1,998", "0,009"};
    for (int i = 0; i < kValues.size(); ++i) {
        QVERIFY(m_driver->shown(kValues[i]));
        QCOMPARE(m_driver->text(kValues[i]), previous[i]);
    }
}

void MasonryPageTest::clearResetsTypedFieldsAndHidesValues()
{
    computeWith(4, {"10", "3", "2", "1,5", "1", "2"});
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn8"));
    for (const QString &name : kTyped)
        QCOMPARE(m_driver->widget<QLineEdit>(name)->text(), QStringLiteral("0"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,51"));
    for (const QString &name : kValues)
        QVERIFY(!m_driver->shown(name));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->click(QStringLiteral("BitBtn9"));
    for (const QString &name : kValues)
        QVERIFY(m_driver->shown(name));
}

void MasonryPageTest::clickEmptiesFieldEveryTimeButTabSelects()
{
    m_driver->clickNode(2);
    auto *length = m_driver->widget<QLineEdit>(QStringLiteral("Edit1"));
    m_driver->click(length);
    QCOMPARE(length->text(), QString());
    QTest::keyClicks(length, QStringLiteral("12"));
    m_driver->click(length);
    QCOMPARE(length->text(), QString());

    auto *thickness = m_driver->widget<QLineEdit>(QStringLiteral("Edit3"));
    m_driver->click(thickness);
    QCOMPARE(thickness->text(), QStringLiteral("0,25"));

    auto *windowLength = m_driver->widget<QLineEdit>(QStringLiteral("Edit4"));
    m_driver->pressKey(Qt::Key_Tab);
    QVERIFY(windowLength->hasFocus());
    QCOMPARE(windowLength->text(), QStringLiteral("0"));
    QCOMPARE(windowLength->selectedText(), QStringLiteral("0"));
}

void MasonryPageTest::acceleratorsAnswerOnlyOnVisiblePage()
{
    m_driver->clickNode(2);
    m_driver->newJournalLines();
    // A shortcut presses its button with a short animation, so the click comes a little later.
    m_driver->pressAccelerator(QChar(u'Р'));
    QTRY_COMPARE(m_driver->journal().last(), QStringLiteral("Пробки деревянные, м3: 0"));
    QVERIFY(m_driver->shown(QStringLiteral("Label23")));
    m_driver->pressAccelerator(QChar(u'О'));
    QTRY_VERIFY(!m_driver->shown(QStringLiteral("Label23")));

    m_driver->clickNode(0);
    m_driver->newJournalLines();
    m_driver->pressAccelerator(QChar(u'Р'));
    QTest::qWait(300);
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QVERIFY(!m_driver->shown(QStringLiteral("Label23")));
}

// A field takes text of any length: forty thousand leading zeros still leave the 12 after them.
void MasonryPageTest::pastedTextIsReadWhole()
{
    m_driver->clickNode(2);
    m_driver->click(QStringLiteral("Edit1"));
    QGuiApplication::clipboard()->setText(QString(40000, u'0') + QStringLiteral("12"));
    m_driver->pressKey(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit1"))->text().size(), 40002);
    m_driver->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_driver->click(QStringLiteral("BitBtn9"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label23")), QStringLiteral("9"));
}

void MasonryPageTest::enterPressesOnlyAFocusedButton_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Enter on the keypad") << Qt::Key_Enter;
}

// Enter in a field computes nothing; on a button that has the focus it presses the button, as
// Space does.
void MasonryPageTest::enterPressesOnlyAFocusedButton()
{
    QFETCH(Qt::Key, key);
    m_driver->clickNode(2);
    m_driver->type(QStringLiteral("Edit1"), QStringLiteral("12"));
    m_driver->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_driver->newJournalLines();
    QVERIFY(m_driver->widget(QStringLiteral("Edit2"))->hasFocus());
    m_driver->pressKey(key);
    QTest::qWait(100);
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QVERIFY(!m_driver->shown(QStringLiteral("Label23")));

    auto *compute = m_driver->widget<QPushButton>(QStringLiteral("BitBtn9"));
    QVERIFY(!compute->isDefault());
    compute->setFocus(Qt::TabFocusReason);
    m_driver->pressKey(key);
    QTRY_COMPARE(m_driver->journal().last(), QStringLiteral("Пробки деревянные, м3: 0,009"));
    QVERIFY(m_driver->shown(QStringLiteral("Label23")));

    m_driver->widget(QStringLiteral("BitBtn8"))->setFocus(Qt::TabFocusReason);
    m_driver->pressKey(key);
    QTRY_VERIFY(!m_driver->shown(QStringLiteral("Label23")));
    QVERIFY(!compute->isDefault());
}

QTEST_MAIN(MasonryPageTest)
#include "tst_masonrypage.moc"
