#include "errorreport.h"

#include "calcerror.h"

#include <QApplication>
#include <QMessageBox>

namespace errorreport {

namespace {

Handler &handler()
{
    static Handler instance;
    return instance;
}

} // namespace

QString shownText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void show(const QString &message)
{
    const QString text = shownText(message);
    if (handler()) {
        handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ErrorReport"));
    box.exec();
}

void setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

void guarded(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const calc::CalcError &error) {
        show(error.message());
    }
}

} // namespace errorreport
