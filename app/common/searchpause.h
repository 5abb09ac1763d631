#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QLineEdit;

// Runs a search as the user types, once the keys pause, so that a word typed fast costs one
// search rather than one a letter; Enter in the field runs it at once.
class SearchPause : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPauseMs = 150;

    enum class Enter
    {
        PassOn, // the field's owner answers Enter too, after the search
        Take,   // Enter only searches: in a dialog it must not press the default button
    };

    SearchPause(QLineEdit *field, std::function<void()> search, Enter enter);

    // Whether keys were typed that no search has answered yet.
    bool waiting() const { return m_timer.isActive(); }
    // The search now, if keys wait for it.
    void flush();
    // The search now, whatever was typed: the base or the mode changed.
    void runNow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_field;
    std::function<void()> m_search;
    Enter m_enter;
    QTimer m_timer;
};
