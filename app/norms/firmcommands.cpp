#include "firmcommands.h"

#include "firmbook.h"
#include "firmstore.h"

#include <utility>

namespace firmcommands {

FirmCommand::FirmCommand(FirmBook &book, const QString &text, qint64 id)
    : QUndoCommand(text), m_book(book), m_id(id), m_login(norms::firm::currentLogin()),
      m_at(QDateTime::currentDateTime())
{
}

std::optional<QString> FirmCommand::make()
{
    std::optional<QString> failure =
        m_book.run([this](norms::firm::FirmStore &store) { forward(store); });
    m_made = !failure;
    return failure;
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

namespace {

using norms::firm::Draft;
using norms::firm::FirmStore;
using norms::firm::Version;

class SaveFirmVersion : public FirmCommand
{
public:
    SaveFirmVersion(FirmBook &book, qint64 id, const Draft &draft,
                    const QString &what = QStringLiteral("изменение %1"))
        : FirmCommand(book, what.arg(draft.code), id), m_draft(draft)
    {
    }

private:
    // A norm made anew (id 0) takes its id from the save, and keeps it when done again.
    void forward(FirmStore &store) override { m_id = store.save(m_id, m_draft, m_login, m_at).id; }
    void back(FirmStore &store) override { store.dropLastVersion(m_id); }

    Draft m_draft;
};

class CreateFirmNorm : public SaveFirmVersion
{
public:
    CreateFirmNorm(FirmBook &book, qint64 id, const Draft &draft)
        : SaveFirmVersion(book, id, draft, QStringLiteral("создание %1"))
    {
    }

private:
    void back(FirmStore &store) override { store.erase(m_id); }
};

class DeleteFirmNorm : public FirmCommand
{
public:
    DeleteFirmNorm(FirmBook &book, qint64 id, const QString &code)
        : FirmCommand(book, QStringLiteral("удаление %1").arg(code), id)
    {
    }

private:
    void forward(FirmStore &store) override { store.remove(m_id); }
    void back(FirmStore &store) override { store.undelete(m_id); }
};

class RestoreFirmVersion : public FirmCommand
{
public:
    RestoreFirmVersion(FirmBook &book, qint64 id, const QString &code, int number,
                       const QList<Version> &history, const std::optional<Version> &current)
        : FirmCommand(book,
                      QStringLiteral("восстановление версии %1 нормы %2")
                          .arg(QString::number(number), code),
                      id),
          m_number(number), m_history(history), m_current(current)
    {
    }

private:
    // Done again after its undoing, the norm is as it was when the history was read.
    void forward(FirmStore &store) override
    {
        store.restore(m_id, m_number, m_history, m_current, m_login, m_at);
    }
    void back(FirmStore &store) override { store.dropLastVersion(m_id); }

    int m_number;
    QList<Version> m_history;
    std::optional<Version> m_current;
};

} // namespace

FirmCommand *createNorm(FirmBook &book, const Draft &draft)
{
    return new CreateFirmNorm(book, 0, draft);
}

FirmCommand *saveVersion(FirmBook &book, qint64 id, const Draft &draft)
{
    return new SaveFirmVersion(book, id, draft);
}

FirmCommand *deleteNorm(FirmBook &book, qint64 id, const QString &code)
{
    return new DeleteFirmNorm(book, id, code);
}

FirmCommand *restoreVersion(FirmBook &book, qint64 id, const QString &code, int number,
                            const QList<Version> &history, const std::optional<Version> &current)
{
    return new RestoreFirmVersion(book, id, code, number, history, current);
}

} // namespace firmcommands
