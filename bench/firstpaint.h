#pragma once

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

// Ends the process once the first paint of a window has been delivered, and prints the peak
// resident memory of the process for the benchmark that started it.
class FirstPaintExit : public QObject
{
public:
    explicit FirstPaintExit(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window) {
            m_painted = true;
            // Queued, so that the rest of the window is painted and flushed in the same pass.
            // The process ends there, without closing the window (which would save a journal)
            // or tearing it down: what is measured ends with the first frame.
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    rusage usage{};
                    getrusage(RUSAGE_SELF, &usage);
                    std::printf("maxrss_kib %ld\n", usage.ru_maxrss);
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_painted = false;
};
