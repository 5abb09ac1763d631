#pragma once

#include <QPlainTextEdit>
#include <QStringList>

class Journal;

// The journal panel `Memo2`: read-only, it shows every journal line. Lines appended during one
// operation reach the panel together when the operation is over, before anything is painted, so
// a journal of a hundred thousand lines still grows quickly.
class JournalPanel : public QPlainTextEdit
{
    Q_OBJECT

public:
    JournalPanel(const Journal &journal, QWidget *parent = nullptr);

    // Shows the lines that are still waiting; the event loop does it by itself.
    void flush();

private:
    void take(const QString &line);

    QStringList m_waiting;
};
