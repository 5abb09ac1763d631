#pragma once

#include "bill.h"

#include <QObject>
#include <QTimer>

#include <memory>

class BillBook;
class QLockFile;

// Keeps an unsaved bill in a recovery file of the program's own, written atomically shortly
// after every change, so that a crash costs nothing. Each running program has its own file
// beside a lock; a file whose lock no running program holds was left by a crash, and the next
// start offers it back. The user's own bill files are only ever read.
class BillRecovery : public QObject
{
    Q_OBJECT

public:
    // How long after a change the file is written: edits in a row are written once.
    static constexpr int kDelayMs = 1500;

    BillRecovery(BillBook &book, const QString &folder, QObject *parent = nullptr);
    // A program that ends in order has nothing to recover.
    ~BillRecovery() override;

    // Beside the program's settings, for the user alone.
    static QString defaultFolder();

    struct Orphan
    {
        QString file;
        QString path; // the bill's own file, if it had one
        QDateTime written;
        bom::Bill bill;
    };
    // The newest bill left by a program that did not end in order, if any.
    std::optional<Orphan> findOrphan() const;
    void discard(const Orphan &orphan) const;

    // Writes at once what the timer would write.
    void writeNow();

private:
    void schedule();
    void removeFile();

    BillBook &m_book;
    QString m_folder;
    QString m_file;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
};
