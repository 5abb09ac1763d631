#include "firmbook.h"

#include "common/errorreport.h"
#include "firmcommands.h"
#include "normbase.h"

#include <QDateTime>
#include <QUndoStack>
#include <QWidget>

#include <algorithm>

using norms::firm::FirmStore;

FirmBook::FirmBook(NormBase &base, QObject *parent)
    : QObject(parent), m_base(base), m_undo(new QUndoStack(this))
{
    connect(&m_base, &NormBase::changed, m_undo, &QUndoStack::clear);
}

FirmBook::~FirmBook() = default;

void FirmBook::setOwner(QWidget *owner)
{
    m_owner = owner;
}

bool FirmBook::attempt(const std::function<void()> &operation, bool quiet)
{
    try {
        operation();
        return true;
    } catch (const norms::sql::Failure &failure) {
        if (!quiet)
            errorreport::show(norms::failureText(failure, m_base.path()), m_owner.data());
    }
    return false;
}

std::optional<norms::firm::Entry> FirmBook::entryOfNorm(qint64 normId)
{
    std::optional<norms::firm::Entry> found;
    if (norms::NormDatabase *database = m_base.database())
        attempt([&] { found = FirmStore(*database).entryOfNorm(normId); });
    return found;
}

std::optional<QString> FirmBook::prefix()
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return norms::firm::defaultPrefix();
    std::optional<QString> prefix;
    attempt([&] { prefix = FirmStore(*database).prefix(); });
    return prefix;
}

bool FirmBook::codeTaken(const QString &code, qint64 exceptId)
{
    bool taken = false;
    if (norms::NormDatabase *database = m_base.database())
        attempt([&] { taken = FirmStore(*database).codeTaken(code, exceptId); }, true);
    return taken;
}

std::optional<QList<norms::firm::Version>> FirmBook::history(qint64 id)
{
    std::optional<QList<norms::firm::Version>> versions;
    if (norms::NormDatabase *database = m_base.database())
        attempt([&] { versions = FirmStore(*database).history(id); });
    return versions;
}

std::optional<QList<norms::firm::Conflict>> FirmBook::conflicts()
{
    std::optional<QList<norms::firm::Conflict>> waiting;
    if (norms::NormDatabase *database = m_base.database())
        attempt([&] { waiting = norms::firm::conflicts(*database); });
    return waiting;
}

std::optional<int> FirmBook::currentVersion(const QString &code)
{
    std::optional<int> version;
    if (norms::NormDatabase *database = m_base.database())
        attempt(
            [&] {
                const std::optional<norms::firm::Entry> found = FirmStore(*database).find(code);
                if (found && !found->deleted)
                    version = found->version;
            },
            true);
    return version;
}

qint64 FirmBook::currentNormId(qint64 id)
{
    qint64 normId = 0;
    norms::NormDatabase *database = m_base.database();
    if (id != 0 && database)
        attempt([&] {
            const std::optional<norms::firm::Entry> found = FirmStore(*database).entry(id);
            normId = found && !found->deleted ? found->normId : 0;
        });
    return normId;
}

std::shared_ptr<qint64> FirmBook::idHolder(qint64 id)
{
    m_ids.removeIf([](const std::weak_ptr<qint64> &held) { return held.expired(); });
    for (const std::weak_ptr<qint64> &held : std::as_const(m_ids))
        if (std::shared_ptr<qint64> holder = held.lock(); *holder == id)
            return holder;
    auto holder = std::make_shared<qint64>(id);
    m_ids.append(holder);
    return holder;
}

bool FirmBook::run(const Step &step)
{
    norms::NormDatabase *database = m_base.database();
    return database && attempt([&] {
               FirmStore store(*database);
               step(store);
           });
}

void FirmBook::replay(const Step &step, const std::shared_ptr<qint64> &id)
{
    if (!m_base.database())
        return;
    run(step);
    emit changed(currentNormId(*id));
}

bool FirmBook::push(firmcommands::FirmCommand *command)
{
    if (!command->make()) {
        delete command;
        return false;
    }
    m_undo->push(command);
    emit changed(currentNormId(command->firmId()));
    return true;
}

bool FirmBook::create(const norms::firm::Draft &draft)
{
    if (!m_base.databaseToWrite()) {
        errorreport::show(m_base.refusal(), m_owner.data());
        return false;
    }
    // A new holder, never one an erased norm left: its id is taken by the save.
    auto made = std::make_shared<qint64>(0);
    m_ids.append(made);
    return push(firmcommands::createNorm(*this, made, draft));
}

bool FirmBook::save(qint64 id, const norms::firm::Draft &draft)
{
    if (!m_base.databaseToWrite()) {
        errorreport::show(m_base.refusal(), m_owner.data());
        return false;
    }
    std::optional<norms::firm::Version> current;
    if (!attempt([&] { current = FirmStore(*m_base.database()).currentVersion(id); }))
        return false;
    // Nothing changed makes no version, and nothing to undo.
    if (current && current->draft == draft)
        return true;
    return push(firmcommands::saveVersion(*this, idHolder(id), draft));
}

void FirmBook::remove(const norms::firm::Entry &entry)
{
    push(firmcommands::deleteNorm(*this, idHolder(entry.id), entry.code));
}

void FirmBook::restore(qint64 id, int number, const QString &code)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return;
    QList<norms::firm::Version> history;
    std::optional<norms::firm::Version> current;
    if (!attempt([&] {
            FirmStore store(*database);
            current = store.currentVersion(id);
            history = store.history(id);
        }))
        return;
    // The version chosen is the current one already: nothing to restore.
    if (current && std::any_of(history.cbegin(), history.cend(), [&](const auto &version) {
            return version.number == number && version.draft == current->draft;
        }))
        return;
    push(firmcommands::restoreVersion(*this, idHolder(id), code, number, history, current));
}

std::optional<int> FirmBook::resolve(const Choices &chosen, qint64 shownNormId)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return std::nullopt;
    const std::optional<norms::firm::Entry> shown =
        shownNormId != 0 ? entryOfNorm(shownNormId) : std::nullopt;
    std::optional<int> waiting;
    if (!attempt([&] {
            norms::firm::resolve(*database, chosen, norms::firm::currentLogin(),
                                 QDateTime::currentDateTime());
            waiting = int(norms::firm::conflicts(*database).size());
        }))
        return std::nullopt;
    if (std::any_of(chosen.cbegin(), chosen.cend(), [](const auto &choice) {
            return choice.second == norms::firm::Choice::Theirs;
        }))
        m_undo->clear();
    emit changed(shown ? currentNormId(shown->id) : shownNormId);
    return waiting;
}
