#include "errorrecorder.h"

#include "shell/errorreport.h"

ErrorRecorder::ErrorRecorder()
{
    errorreport::setHandler([this](const QString &text) { m_messages.append(text); });
}

ErrorRecorder::~ErrorRecorder()
{
    errorreport::setHandler({});
}
