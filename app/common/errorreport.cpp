#include "errorreport.h"

#include "calcerror.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace errorreport {

namespace {

Handler &handler()
{
    static Handler instance;
    return instance;
}

QuestionHandler &questionHandler()
{
    static QuestionHandler instance;
    return instance;
}

ChoiceHandler &choiceHandler()
{
    static ChoiceHandler instance;
    return instance;
}

// The window given, or a dialog of its that is in front: a box under a modal dialog could not
// be answered.
QWidget *owner(QWidget *parent)
{
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = QApplication::activeWindow();
    if (!parent)
        return front;
    QWidget *window = parent->window();
    for (QWidget *step = front; step;
         step = step->parentWidget() ? step->parentWidget()->window() : nullptr)
        if (step == window)
            return front;
    return window;
}

} // namespace

QString shownText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void show(const QString &message, QWidget *parent)
{
    const QString text = shownText(message);
    if (handler()) {
        handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, owner(parent));
    box.setObjectName(QStringLiteral("ErrorReport"));
    box.exec();
}

bool askToGoAhead(const QString &question, const QString &goAheadText, const QString &cancelText,
                  QWidget *parent)
{
    if (questionHandler())
        return questionHandler()(question);
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), question,
                    QMessageBox::NoButton, owner(parent));
    box.setObjectName(QStringLiteral("Question"));
    QPushButton *goAhead = box.addButton(goAheadText, QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(cancelText, QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == goAhead;
}

int askToChoose(const QString &question, const QStringList &answers, int defaultAnswer,
                QWidget *parent)
{
    if (choiceHandler())
        return choiceHandler()(question, answers);
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), question,
                    QMessageBox::NoButton, owner(parent));
    box.setObjectName(QStringLiteral("Choice"));
    QList<QPushButton *> buttons;
    for (qsizetype i = 0; i < answers.size(); ++i)
        buttons.append(box.addButton(answers.at(i), i + 1 == answers.size()
                                                        ? QMessageBox::RejectRole
                                                    : i == 0 ? QMessageBox::AcceptRole
                                                             : QMessageBox::DestructiveRole));
    if (!buttons.isEmpty()) {
        box.setDefaultButton(buttons.value(defaultAnswer, buttons.back()));
        box.setEscapeButton(buttons.back());
    }
    box.exec();
    const qsizetype taken = buttons.indexOf(box.clickedButton());
    return int(taken < 0 ? answers.size() - 1 : taken);
}

void setChoiceHandler(ChoiceHandler handler)
{
    choiceHandler() = std::move(handler);
}

void setQuestionHandler(QuestionHandler handler)
{
    questionHandler() = std::move(handler);
}

void setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

void guarded(const std::function<void()> &operation, QWidget *parent)
{
    try {
        operation();
    } catch (const calc::CalcError &error) {
        show(error.message(), parent);
    }
}

} // namespace errorreport
