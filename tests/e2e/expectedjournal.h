#pragma once

#include <QDateTime>
#include <QHash>
#include <QStringList>

// The journal lines a scenario expects, and the check of a journal file against them. A save
// line holds the clock's date and time texts, which the test cannot know in advance: they are
// read from the file, shown to be a date and a time within the run, and then stand in the
// expected lines, so that the whole file is still compared byte for byte.
class ExpectedJournal
{
public:
    explicit ExpectedJournal(const QDateTime &runStart);

    ExpectedJournal &operator<<(const QString &line);
    ExpectedJournal &operator<<(const QStringList &lines);

    // The line a save on request writes into its file; the line that follows a successful one.
    void saveRequested();
    void saveSucceeded();
    void closeRequested();

    // Empty when the file holds the first `count` lines (all when -1) in the journal format;
    // otherwise what differs. A match fixes the clock texts of the save lines it covered.
    QString mismatch(const QString &path, qsizetype count = -1);

    // The day file of the first save on request, once a match has fixed its date.
    QString dayFile() const;
    // How many lines the day file of the last successful save on request holds.
    qsizetype dayFileLines() const { return m_dayFileLines; }

    // Windows-1251, CR LF after every line and one more at the end.
    static QByteArray fileBytes(const QStringList &lines);

private:
    QString resolved(qsizetype index, const QString &actual, QString *problem);

    QDateTime m_runStart;
    QStringList m_lines;
    QString m_date;
    QHash<qsizetype, QString> m_fixed;
    qsizetype m_dayFileLines = 0;
};
