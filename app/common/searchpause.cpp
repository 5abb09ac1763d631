#include "searchpause.h"

#include <QKeyEvent>
#include <QLineEdit>

SearchPause::SearchPause(QLineEdit *field, std::function<void()> search, Enter enter)
    : QObject(field), m_field(field), m_search(std::move(search)), m_enter(enter)
{
    setObjectName(field->objectName() + QStringLiteral("Pause"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPauseMs);
    connect(&m_timer, &QTimer::timeout, this, &SearchPause::runNow);
    connect(field, &QLineEdit::textChanged, this, [this] { m_timer.start(); });
    field->installEventFilter(this);
}

void SearchPause::flush()
{
    if (waiting())
        runNow();
}

void SearchPause::runNow()
{
    m_timer.stop();
    m_search();
}

bool SearchPause::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            flush();
            return m_enter == Enter::Take;
        }
    }
    return QObject::eventFilter(watched, event);
}
