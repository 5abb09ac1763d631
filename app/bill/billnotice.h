#pragma once

#include <QLabel>
#include <QTimer>

// A short message over the bottom right corner of a window that goes by itself: what an add to
// the bill did, or why it did not. It covers none of the status bar, which keeps its panels.
class BillNotice : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kShownMs = 6000;

    explicit BillNotice(QWidget *host);

    enum class Tone
    {
        Done,
        Refused
    };
    // Over the host given, the window the user works in; over the last one when none is.
    void say(const QString &message, Tone tone, QWidget *host = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void place();

    QTimer m_timer;
};
