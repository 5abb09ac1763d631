#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

// The one-second clock. It remembers the time text and the date text in the regional long time
// and short date formats; the saves name and stamp the journal files with them.
class Clock : public QObject
{
    Q_OBJECT

public:
    using TimeSource = std::function<QDateTime()>;

    explicit Clock(QObject *parent = nullptr);

    // Tests pin the time; the program reads the local time.
    void setTimeSource(TimeSource source) { m_now = std::move(source); }

    void start();
    void Timer1Timer();

    const QString &timeText() const { return m_timeText; }
    const QString &dateText() const { return m_dateText; }

    static QString longTimeText(const QTime &time);
    static QString shortDateText(const QDate &date);

signals:
    void ticked(const QString &timeText);

private:
    QTimer m_timer;
    TimeSource m_now;
    QString m_timeText;
    QString m_dateText;
};
