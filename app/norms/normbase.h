#pragma once

#include "normdb.h"

#include <QObject>
#include <QString>

#include <memory>

class FirmBook;

// The program's norm database, opened when first needed and again after an import. While the
// file is refused (damaged, or a later program's), the program works without norms and says why.
class NormBase : public QObject
{
    Q_OBJECT

public:
    explicit NormBase(QString path, QObject *parent = nullptr);
    ~NormBase() override;

    const QString &path() const { return m_path; }
    // None while the file is refused; refusal() says why.
    norms::NormDatabase *database();
    // The database for a change the user makes, made with its folder when there is none yet;
    // none while the file is refused.
    norms::NormDatabase *databaseToWrite();
    const QString &refusal() const { return m_refusal; }
    // Whether there is a norm to search.
    bool hasNorms();

    // The firm's own norms of the base as a document, with their undo stack.
    FirmBook &firmBook() const { return *m_firmBook; }

    // Closes the file and opens it afresh, after an import replaced what it holds.
    void reopen();

signals:
    void changed();

private:
    QString m_path;
    std::unique_ptr<norms::NormDatabase> m_database;
    QString m_refusal;
    bool m_tried = false;
    FirmBook *m_firmBook;
};
