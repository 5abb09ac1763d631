#pragma once

#include "firmnorm.h"

#include <QDateTime>
#include <QUndoCommand>

#include <optional>

class FirmBook;
namespace norms::firm {
class FirmStore;
}

// The changes of the firm's norms as undo commands, known to FirmBook only. Each is made by make()
// before it is pushed, so that a failure never reaches the stack; its first redo then does
// nothing. Every command keeps the firm norm's id it was made with: a creation done again takes
// it back. The stack owns a command once pushed; one that failed is the book's to delete.
namespace firmcommands {

class FirmCommand : public QUndoCommand
{
public:
    // The change itself; what the base said when it refused it.
    std::optional<QString> make();
    // The firm norm it changes.
    qint64 firmId() const { return m_id; }
    void redo() override;
    void undo() override;

protected:
    FirmCommand(FirmBook &book, const QString &text, qint64 id);
    virtual void forward(norms::firm::FirmStore &store) = 0;
    virtual void back(norms::firm::FirmStore &store) = 0;

    FirmBook &m_book;
    qint64 m_id; // 0 for a norm not yet created
    QString m_login;
    QDateTime m_at;

private:
    void step(bool ahead);

    bool m_made = false;
};

// «создание %1»: undone, the norm and its history go; done again, it is back under its id.
FirmCommand *createNorm(FirmBook &book, const norms::firm::Draft &draft);
// «изменение %1»: a new version; undone, the one before is current again.
FirmCommand *saveVersion(FirmBook &book, qint64 id, const norms::firm::Draft &draft);
// «удаление %1»: undone, the norm is back with its history.
FirmCommand *deleteNorm(FirmBook &book, qint64 id, const QString &code);
// «восстановление версии %1 нормы %2»: a new version equal to an earlier one, from the history
// and the current version as read once.
FirmCommand *restoreVersion(FirmBook &book, qint64 id, const QString &code, int number,
                            const QList<norms::firm::Version> &history,
                            const std::optional<norms::firm::Version> &current);

} // namespace firmcommands
