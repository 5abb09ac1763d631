#include "errorrecorder.h"

#include "common/errorreport.h"

ErrorRecorder::ErrorRecorder()
{
    errorreport::setHandler([this](const QString &text) { m_messages.append(text); });
    errorreport::setQuestionHandler([this](const QString &question) {
        m_questions.append(question);
        return m_goAhead;
    });
    errorreport::setChoiceHandler([this](const QString &question, const QStringList &answers) {
        m_choices.append(question);
        return m_choice < 0 ? int(answers.size()) - 1 : m_choice;
    });
}

ErrorRecorder::~ErrorRecorder()
{
    errorreport::setChoiceHandler({});
    errorreport::setHandler({});
    errorreport::setQuestionHandler({});
}
