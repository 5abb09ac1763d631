#include "journalpanel.h"

#include "journal.h"

#include <QTimer>

JournalPanel::JournalPanel(const Journal &journal, QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Memo2"));
    setReadOnly(true);
    // Nothing is ever undone in a read-only panel; keeping an undo step per line only costs.
    setUndoRedoEnabled(false);
    // The panel is three lines high; a slim margin lets all three show.
    document()->setDocumentMargin(1);
    // Scrolled up and down only: a line wider than the panel wraps, and stays one journal line.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setPlainText(journal.lines().join(u'\n'));
    connect(&journal, &Journal::lineAppended, this, &JournalPanel::take);
}

void JournalPanel::take(const QString &line)
{
    if (m_waiting.isEmpty())
        QTimer::singleShot(0, this, &JournalPanel::flush);
    m_waiting.append(line);
}

void JournalPanel::flush()
{
    if (m_waiting.isEmpty())
        return;
    appendPlainText(m_waiting.join(u'\n'));
    m_waiting.clear();
}
