#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Fails the running test at once when a modal dialog opens that the test did not ask for, with
// the dialog's title and text, and closes the dialog so that the test goes on instead of
// hanging until the run's time-out. A test that means to drive a dialog says so with expect().
class ModalWatchdog : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget *dialog)>;

    ModalWatchdog();
    ~ModalWatchdog() override;

    // The next modal dialog goes to handler, called once the dialog's own event loop runs; the
    // handler closes it.
    void expect(Handler handler);
    // Whether an expected dialog has come.
    bool expectationMet() const { return !m_handler; }

    // Title and text of a dialog, as a test failure names it.
    static QString describe(const QWidget *dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void take(QWidget *dialog);

    Handler m_handler;
};
