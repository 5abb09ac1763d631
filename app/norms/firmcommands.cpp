#include "firmcommands.h"

#include "firmbook.h"
#include "firmstore.h"

#include <utility>

namespace firmcommands {

FirmCommand::FirmCommand(FirmBook &book, const QString &text, std::shared_ptr<qint64> id)
    : QUndoCommand(text), m_book(book), m_id(std::move(id)), m_login(norms::firm::currentLogin()),
      m_at(QDateTime::currentDateTime())
{
}

bool FirmCommand::make()
{
    m_made = m_book.run([this](norms::firm::FirmStore &store) { forward(store); });
    return m_made;
}

void FirmCommand::redo()
{
    // The first redo is the push: make() did the change already.
    if (std::exchange(m_made, false))
        return;
    step(true);
}

void FirmCommand::undo()
{
    step(false);
}

void FirmCommand::step(bool ahead)
{
    m_book.replay(
        [this, ahead](norms::firm::FirmStore &store) {
            if (ahead)
                forward(store);
            else
                back(store);
        },
        m_id);
}

CreateFirmNorm::CreateFirmNorm(FirmBook &book, std::shared_ptr<qint64> id,
                               const norms::firm::Draft &draft)
    : FirmCommand(book, QStringLiteral("создание %1").arg(draft.code), std::move(id)),
      m_draft(draft)
{
}

void CreateFirmNorm::forward(norms::firm::FirmStore &store)
{
    *m_id = store.save(0, m_draft, m_login, m_at).id;
}

void CreateFirmNorm::back(norms::firm::FirmStore &store)
{
    store.erase(*m_id);
    *m_id = 0;
}

SaveFirmVersion::SaveFirmVersion(FirmBook &book, std::shared_ptr<qint64> id,
                                 const norms::firm::Draft &draft)
    : FirmCommand(book, QStringLiteral("изменение %1").arg(draft.code), std::move(id)),
      m_draft(draft)
{
}

void SaveFirmVersion::forward(norms::firm::FirmStore &store)
{
    store.save(*m_id, m_draft, m_login, m_at);
}

void SaveFirmVersion::back(norms::firm::FirmStore &store)
{
    store.dropLastVersion(*m_id);
}

DeleteFirmNorm::DeleteFirmNorm(FirmBook &book, std::shared_ptr<qint64> id, const QString &code)
    : FirmCommand(book, QStringLiteral("удаление %1").arg(code), std::move(id))
{
}

void DeleteFirmNorm::forward(norms::firm::FirmStore &store)
{
    store.remove(*m_id);
}

void DeleteFirmNorm::back(norms::firm::FirmStore &store)
{
    store.undelete(*m_id);
}

RestoreFirmVersion::RestoreFirmVersion(FirmBook &book, std::shared_ptr<qint64> id,
                                       const QString &code, int number,
                                       const QList<norms::firm::Version> &history,
                                       const std::optional<norms::firm::Version> &current)
    : FirmCommand(book, QStringLiteral("восстановление версии %1 нормы %2").arg(number).arg(code),
                  std::move(id)),
      m_number(number), m_history(history), m_current(current)
{
}

void RestoreFirmVersion::forward(norms::firm::FirmStore &store)
{
    // Done again after its undoing, the norm is as it was when the history was read.
    store.restore(*m_id, m_number, m_history, m_current, m_login, m_at);
}

void RestoreFirmVersion::back(norms::firm::FirmStore &store)
{
    store.dropLastVersion(*m_id);
}

} // namespace firmcommands
