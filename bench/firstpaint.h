#pragma once

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <sys/resource.h>

// Ends the event loop once the first paint of a window has been delivered, and prints the
// peak resident memory of the process for the benchmark that started it.
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
            // exit() rather than quit(): quitting would close the window and save a journal.
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    rusage usage{};
                    getrusage(RUSAGE_SELF, &usage);
                    std::printf("maxrss_kib %ld\n", usage.ru_maxrss);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_painted = false;
};
