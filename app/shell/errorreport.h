#pragma once

#include <QString>

#include <functional>

class QWidget;

// The one way a failure reaches the user: a modal box titled with the application name, the
// error icon and OK. Tests replace the box through the handler seam.
namespace errorreport {

using Handler = std::function<void(const QString &shownText)>;

// The message as shown: a "." is added after a last character above "." in code.
QString shownText(const QString &message);

void show(const QString &message);

// Installs a handler in place of the box; an empty handler brings the box back.
void setHandler(Handler handler);

// Runs one operation; a failure ends it where it stands and is reported.
void guarded(const std::function<void()> &operation);

} // namespace errorreport
