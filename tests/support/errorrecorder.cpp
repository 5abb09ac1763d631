#include "errorrecorder.h"

#include "shell/errorreport.h"

ErrorRecorder::ErrorRecorder()
{
    errorreport::setHandler([this](const QString &text) { m_messages.append(text); });
    errorreport::setQuestionHandler([this](const QString &question) {
        m_questions.append(question);
        return m_goAhead;
    });
}

ErrorRecorder::~ErrorRecorder()
{
    errorreport::setHandler({});
    errorreport::setQuestionHandler({});
}
