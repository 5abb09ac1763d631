#pragma once

#include <QObject>
#include <QStringList>

// The calculation journal: ordered lines that are only ever appended. The journal panel shows
// them and the files are written from here, never read back from the panel.
class Journal : public QObject
{
    Q_OBJECT

public:
    static const QString &firstLine();

    explicit Journal(QObject *parent = nullptr);

    void append(const QString &line);
    const QStringList &lines() const { return m_lines; }

signals:
    void lineAppended(const QString &line);

private:
    QStringList m_lines;
};
