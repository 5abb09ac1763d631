#pragma once

#include "firmnorm.h"

#include <QDateTime>
#include <QUndoCommand>

#include <memory>
#include <optional>

class FirmBook;
namespace norms::firm {
class FirmStore;
}

// The changes of the firm's norms as undo commands. Each is made by make() before it is pushed,
// so that a failure never reaches the stack; its first redo then does nothing.
namespace firmcommands {

class FirmCommand : public QUndoCommand
{
public:
    // The change itself; false when the base refused it, which was told.
    bool make();
    // The firm norm it changes, as the stack knows it now.
    qint64 firmId() const { return *m_id; }
    void redo() override;
    void undo() override;

protected:
    FirmCommand(FirmBook &book, const QString &text, std::shared_ptr<qint64> id);
    virtual void forward(norms::firm::FirmStore &store) = 0;
    virtual void back(norms::firm::FirmStore &store) = 0;

    FirmBook &m_book;
    std::shared_ptr<qint64> m_id;
    QString m_login;
    QDateTime m_at;

private:
    void step(bool ahead);

    bool m_made = false;
};

// «создание %1»: undone, the norm and its history go.
FirmCommand *createNorm(FirmBook &book, std::shared_ptr<qint64> id,
                        const norms::firm::Draft &draft);
// «изменение %1»: a new version; undone, the one before is current again.
FirmCommand *saveVersion(FirmBook &book, std::shared_ptr<qint64> id,
                         const norms::firm::Draft &draft);
// «удаление %1»: undone, the norm is back with its history.
FirmCommand *deleteNorm(FirmBook &book, std::shared_ptr<qint64> id, const QString &code);
// «восстановление версии %1 нормы %2»: a new version equal to an earlier one, from the history
// and the current version as read once.
FirmCommand *restoreVersion(FirmBook &book, std::shared_ptr<qint64> id, const QString &code,
                            int number, const QList<norms::firm::Version> &history,
                            const std::optional<norms::firm::Version> &current);

} // namespace firmcommands
