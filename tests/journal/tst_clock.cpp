#include "clock.h"

#include <QSignalSpy>
#include <QTest>

// Runs under the Russian regional settings that the test registration pins.
class ClockTest : public QObject
{
    Q_OBJECT

private slots:
    void regionalTexts_data();
    void regionalTexts();
    void firstTickComesAtStart();
    void tickWritesTimeBeforeDate();
};

void ClockTest::regionalTexts_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::newRow("morning") << QDateTime(QDate(2026, 12, 6), QTime(10, 5, 7)) << "10:05:07"
                             << "06.12.2026";
    QTest::newRow("midnight") << QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)) << "00:00:00"
                              << "01.01.2027";
    QTest::newRow("evening") << QDateTime(QDate(2026, 3, 9), QTime(23, 59, 59)) << "23:59:59"
                             << "09.03.2026";
}

void ClockTest::regionalTexts()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, time);
    QFETCH(QString, date);
    Clock clock;
    clock.setTimeSource([now] { return now; });
    clock.Timer1Timer();
    QCOMPARE(clock.timeText(), time);
    QCOMPARE(clock.dateText(), date);
}

void ClockTest::firstTickComesAtStart()
{
    Clock clock;
    QVERIFY(clock.dateText().isEmpty());
    clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 6), QTime(9, 0, 0)); });
    QSignalSpy ticks(&clock, &Clock::ticked);
    clock.start();
    QCOMPARE(ticks.size(), 1);
    QCOMPARE(clock.dateText(), QStringLiteral("06.12.2026"));
    QVERIFY(ticks.wait(1500));
    QCOMPARE(ticks.last().at(0).toString(), QStringLiteral("09:00:00"));
}

// The status text is set between the two texts; whoever listens sees the new time and the
// date of the tick before.
void ClockTest::tickWritesTimeBeforeDate()
{
    Clock clock;
    QDateTime now(QDate(2026, 12, 6), QTime(23, 59, 59));
    clock.setTimeSource([&now] { return now; });
    clock.Timer1Timer();
    now = QDateTime(QDate(2026, 12, 7), QTime(0, 0, 0));
    QString dateSeenAtTick;
    connect(&clock, &Clock::ticked, this, [&] { dateSeenAtTick = clock.dateText(); });
    clock.Timer1Timer();
    QCOMPARE(dateSeenAtTick, QStringLiteral("06.12.2026"));
    QCOMPARE(clock.dateText(), QStringLiteral("07.12.2026"));
}

QTEST_GUILESS_MAIN(ClockTest)
#include "tst_clock.moc"
