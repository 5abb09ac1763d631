#include "clock.h"

#include <QLocale>
#include <QRegularExpression>

Clock::Clock(QObject *parent) : QObject(parent), m_now([] { return QDateTime::currentDateTime(); })
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &Clock::Timer1Timer);
}

// Ticks once at once: a save in the first second would otherwise name its file "data/.txt"
// (docs/decisions.md, "First clock tick").
void Clock::start()
{
    Timer1Timer();
    m_timer.start();
}

void Clock::Timer1Timer()
{
    const QDateTime now = m_now();
    m_timeText = longTimeText(now.time());
    emit ticked(m_timeText);
    m_dateText = shortDateText(now.date());
}

// The regional long time format carries the time zone ("HH:mm:ss t"); the journal never did.
QString Clock::longTimeText(const QTime &time)
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    format.replace(zone, QString());
    return QLocale::system().toString(time, format.trimmed());
}

QString Clock::shortDateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}
