#include "billnotice.h"

#include <QEvent>
#include <QMainWindow>

#include <algorithm>

BillNotice::BillNotice(QWidget *host) : QLabel(host)
{
    setObjectName(QStringLiteral("BillNotice"));
    setWordWrap(true);
    setMargin(8);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    // The colours of a tooltip, which every theme keeps readable.
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAccessibleName(QStringLiteral("Сообщение ведомости"));
    hide();
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShownMs);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
    host->installEventFilter(this);
}

void BillNotice::say(const QString &message, Tone tone, QWidget *host)
{
    if (host && host != parentWidget()) {
        parentWidget()->removeEventFilter(this);
        setParent(host);
        host->installEventFilter(this);
    }
    setText(message);
    // A refusal stands out by weight; the colours stay the theme's readable ones.
    QFont font = this->font();
    font.setBold(tone == Tone::Refused);
    setFont(font);
    place();
    show();
    raise();
    m_timer.start();
}

void BillNotice::place()
{
    // Over the central area of a main window, clear of its status bar.
    const auto *main = qobject_cast<const QMainWindow *>(parentWidget());
    const QRect area =
        main && main->centralWidget() ? main->centralWidget()->geometry() : parentWidget()->rect();
    setFixedWidth(std::max(120, std::min(420, area.width() - 24)));
    adjustSize();
    move(area.right() - width() - 12, area.bottom() - height() - 12);
}

bool BillNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QLabel::eventFilter(watched, event);
}

void BillNotice::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    hide();
}
