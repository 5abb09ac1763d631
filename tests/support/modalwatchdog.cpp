#include "modalwatchdog.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

ModalWatchdog::ModalWatchdog()
{
    qApp->installEventFilter(this);
}

ModalWatchdog::~ModalWatchdog()
{
    qApp->removeEventFilter(this);
}

void ModalWatchdog::expect(Handler handler)
{
    m_handler = std::move(handler);
}

QString ModalWatchdog::describe(const QWidget *dialog)
{
    QString text;
    if (const auto *box = qobject_cast<const QMessageBox *>(dialog))
        text = box->text();
    return QStringLiteral("«%1» (%2): «%3»")
        .arg(dialog->windowTitle(), QString::fromLatin1(dialog->metaObject()->className()), text);
}

bool ModalWatchdog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        // A progress dialog runs no loop of its own: it blocks nothing and closes when its work
        // ends.
        if (widget->isWindow() && widget->isModal() && !qobject_cast<QProgressDialog *>(widget))
            take(widget);
    }
    return false;
}

void ModalWatchdog::take(QWidget *dialog)
{
    // The dialog is not running its loop yet while it is being shown; act once it is.
    QPointer<QWidget> guarded(dialog);
    if (m_handler) {
        Handler handler = std::exchange(m_handler, {});
        QTimer::singleShot(0, dialog, [guarded, handler] {
            if (guarded)
                handler(guarded);
        });
        return;
    }
    QTest::qFail(qPrintable(QStringLiteral("unexpected modal dialog ") + describe(dialog)),
                 __FILE__, __LINE__);
    QTimer::singleShot(0, dialog, [guarded] {
        if (auto *box = qobject_cast<QDialog *>(guarded.data()))
            box->reject();
        else if (guarded)
            guarded->close();
    });
}
