#pragma once

#include <QStringList>

// Takes the place of the error box while it lives and keeps every message as it would show.
class ErrorRecorder
{
public:
    ErrorRecorder();
    ~ErrorRecorder();

    const QStringList &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

    // Questions asked after a failure; each is answered with cancel unless told otherwise.
    const QStringList &questions() const { return m_questions; }
    void answerQuestionsGoAhead(bool goAhead) { m_goAhead = goAhead; }

    // Questions with several answers; each is answered with the last (cancel) unless told
    // otherwise.
    const QStringList &choices() const { return m_choices; }
    void answerChoicesWith(int answer) { m_choice = answer; }

private:
    QStringList m_choices;
    int m_choice = -1;
    QStringList m_messages;
    QStringList m_questions;
    bool m_goAhead = false;
};
