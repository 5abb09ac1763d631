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

private:
    QStringList m_messages;
};
