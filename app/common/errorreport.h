#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// The one way a failure reaches the user: a modal box titled with the application name, the
// error icon and OK. Tests replace the box through the handler seam. Every box belongs to the
// window it is given, so that it comes over the window the user works in, and that window comes
// back to the front after it; without one, to the active window.
namespace errorreport {

using Handler = std::function<void(const QString &shownText)>;

// The message as shown: a "." is added after a last character above "." in code.
QString shownText(const QString &message);

void show(const QString &message, QWidget *parent = nullptr);

// Installs a handler in place of the box; an empty handler brings the box back.
void setHandler(Handler handler);

// Runs one operation; a failure ends it where it stands and is reported.
void guarded(const std::function<void()> &operation, QWidget *parent = nullptr);

// A question after a failure, in a box titled like the report, with a button that goes ahead
// and a cancel button that is the default and the Escape answer. True when the user goes ahead.
// Tests answer it through the question seam.
using QuestionHandler = std::function<bool(const QString &question)>;

bool askToGoAhead(const QString &question, const QString &goAheadText, const QString &cancelText,
                  QWidget *parent = nullptr);

// Installs an answerer in place of the box; an empty one brings the box back.
void setQuestionHandler(QuestionHandler handler);

// A question with several answers, such as Сохранить / Не сохранять / Отмена, in a box titled
// like the report; the last answer is the Escape one, and the default one unless another is
// named. Returns the index of the answer taken. Tests answer it through the choice seam.
using ChoiceHandler = std::function<int(const QString &question, const QStringList &answers)>;

int askToChoose(const QString &question, const QStringList &answers, int defaultAnswer = -1,
                QWidget *parent = nullptr);

void setChoiceHandler(ChoiceHandler handler);

} // namespace errorreport
