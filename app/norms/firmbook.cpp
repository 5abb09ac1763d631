#include "firmbook.h"

#include "firmcommands.h"
#include "normbase.h"

#include <QDateTime>
#include <QUndoStack>

#include <algorithm>

using norms::firm::FirmStore;

namespace {

// Sets what the caller is told, when it asks.
template <typename T> T failed(const std::optional<QString> &failure, QString *error, T none)
{
    if (error && failure)
        *error = *failure;
    return none;
}

} // namespace

FirmBook::FirmBook(NormBase &base, QObject *parent)
    : QObject(parent), m_base(base), m_undo(new QUndoStack(this))
{
    connect(&m_base, &NormBase::changed, m_undo, &QUndoStack::clear);
}

FirmBook::~FirmBook() = default;

std::optional<QString> FirmBook::attempt(const std::function<void()> &operation)
{
    try {
        operation();
        return std::nullopt;
    } catch (const norms::sql::Failure &failure) {
        return norms::failureText(failure, m_base.path());
    }
}

std::optional<norms::firm::Entry> FirmBook::entryOfNorm(qint64 normId, QString *error)
{
    std::optional<norms::firm::Entry> found;
    if (norms::NormDatabase *database = m_base.database())
        if (const auto failure = attempt([&] { found = FirmStore(*database).entryOfNorm(normId); }))
            return failed(failure, error, std::optional<norms::firm::Entry>());
    return found;
}

std::optional<QString> FirmBook::prefix(QString *error)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return norms::firm::defaultPrefix();
    std::optional<QString> prefix;
    if (const auto failure = attempt([&] { prefix = FirmStore(*database).prefix(); }))
        return failed(failure, error, std::optional<QString>());
    return prefix;
}

std::optional<QList<norms::firm::Version>> FirmBook::history(qint64 id, QString *error)
{
    std::optional<QList<norms::firm::Version>> versions;
    if (norms::NormDatabase *database = m_base.database())
        if (const auto failure = attempt([&] { versions = FirmStore(*database).history(id); }))
            return failed(failure, error, std::optional<QList<norms::firm::Version>>());
    return versions;
}

std::optional<QList<norms::firm::Conflict>> FirmBook::conflicts(QString *error)
{
    std::optional<QList<norms::firm::Conflict>> waiting;
    if (norms::NormDatabase *database = m_base.database())
        if (const auto failure = attempt([&] { waiting = norms::firm::conflicts(*database); }))
            return failed(failure, error, std::optional<QList<norms::firm::Conflict>>());
    return waiting;
}

std::optional<norms::Norm> FirmBook::origin(const norms::Norm &firmNorm, QString *error)
{
    std::optional<norms::Norm> federal;
    if (norms::NormDatabase *database = m_base.database())
        if (const auto failure = attempt([&] { federal = FirmStore(*database).origin(firmNorm); }))
            return failed(failure, error, std::optional<norms::Norm>());
    return federal;
}

bool FirmBook::codeTaken(const QString &code, qint64 exceptId)
{
    bool taken = false;
    if (norms::NormDatabase *database = m_base.database())
        attempt([&] { taken = FirmStore(*database).codeTaken(code, exceptId); });
    return taken;
}

std::optional<int> FirmBook::currentVersion(const QString &code)
{
    std::optional<int> version;
    if (norms::NormDatabase *database = m_base.database())
        attempt([&] {
            const std::optional<norms::firm::Entry> found = FirmStore(*database).find(code);
            if (found && !found->deleted)
                version = found->version;
        });
    return version;
}

norms::firm::ExportResult FirmBook::exportTo(const std::function<QString()> &choosePath)
{
    norms::firm::ExportResult result;
    norms::NormDatabase *database = m_base.database();
    if (!database) {
        result.reason = QStringLiteral("База норм не загружена: фирменных норм нет");
        return result;
    }
    const QString path = choosePath();
    if (path.isEmpty())
        return result;
    if (const auto failure =
            attempt([&] { result = norms::firm::exportFirmNorms(*database, path); }))
        result.reason = *failure;
    return result;
}

qint64 FirmBook::currentNormId(qint64 id)
{
    qint64 normId = 0;
    norms::NormDatabase *database = m_base.database();
    // Quiet: the window that shows the norm reads it again and tells what is wrong.
    if (id != 0 && database)
        attempt([&] {
            const std::optional<norms::firm::Entry> found = FirmStore(*database).entry(id);
            normId = found && !found->deleted ? found->normId : 0;
        });
    return normId;
}

std::optional<QString> FirmBook::run(const Step &step)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return m_base.refusal();
    return attempt([&] {
        FirmStore store(*database);
        step(store);
    });
}

void FirmBook::replay(const Step &step, qint64 firmId)
{
    if (!m_base.database())
        return;
    if (const auto failure = run(step))
        m_stepFailure = failure;
    emit changed(currentNormId(firmId));
}

bool FirmBook::step(void (QUndoStack::*move)(), QString *error)
{
    m_stepFailure.reset();
    (m_undo->*move)();
    const std::optional<QString> failure = std::exchange(m_stepFailure, std::nullopt);
    if (!failure)
        return true;
    // The step left the base as it was, which is not where the stack now stands: what is on
    // it would undo from a state the base never reached.
    m_undo->clear();
    return failed(failure, error, false);
}

bool FirmBook::undo(QString *error)
{
    return step(&QUndoStack::undo, error);
}

bool FirmBook::redo(QString *error)
{
    return step(&QUndoStack::redo, error);
}

bool FirmBook::push(firmcommands::FirmCommand *command, QString *error)
{
    if (const std::optional<QString> failure = command->make()) {
        delete command;
        return failed(failure, error, false);
    }
    m_undo->push(command);
    emit changed(currentNormId(command->firmId()));
    return true;
}

bool FirmBook::create(const norms::firm::Draft &draft, QString *error)
{
    if (!m_base.databaseToWrite())
        return failed(m_base.refusal(), error, false);
    return push(firmcommands::createNorm(*this, draft), error);
}

bool FirmBook::save(qint64 id, const norms::firm::Draft &draft, QString *error)
{
    if (!m_base.databaseToWrite())
        return failed(m_base.refusal(), error, false);
    std::optional<norms::firm::Version> current;
    if (const auto failure =
            attempt([&] { current = FirmStore(*m_base.database()).currentVersion(id); }))
        return failed(failure, error, false);
    // Nothing changed makes no version, and nothing to undo.
    if (current && current->draft == draft)
        return true;
    return push(firmcommands::saveVersion(*this, id, draft), error);
}

bool FirmBook::remove(const norms::firm::Entry &entry, QString *error)
{
    return push(firmcommands::deleteNorm(*this, entry.id, entry.code), error);
}

bool FirmBook::restore(qint64 id, int number, const QString &code, QString *error)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return true;
    QList<norms::firm::Version> history;
    std::optional<norms::firm::Version> current;
    if (const auto failure = attempt([&] {
            FirmStore store(*database);
            current = store.currentVersion(id);
            history = store.history(id);
        }))
        return failed(failure, error, false);
    // The version chosen is the current one already: nothing to restore.
    if (current && std::any_of(history.cbegin(), history.cend(), [&](const auto &version) {
            return version.number == number && version.draft == current->draft;
        }))
        return true;
    return push(firmcommands::restoreVersion(*this, id, code, number, history, current), error);
}

std::optional<int> FirmBook::resolve(const Choices &chosen, qint64 shownNormId, QString *error)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return std::nullopt;
    std::optional<norms::firm::Entry> shown;
    if (shownNormId != 0) {
        const auto failure =
            attempt([&] { shown = FirmStore(*database).entryOfNorm(shownNormId); });
        if (failure)
            return failed(failure, error, std::optional<int>());
    }
    std::optional<int> waiting;
    if (const auto failure = attempt([&] {
            norms::firm::resolve(*database, chosen, norms::firm::currentLogin(),
                                 QDateTime::currentDateTime());
            waiting = int(norms::firm::conflicts(*database).size());
        }))
        return failed(failure, error, std::optional<int>());
    if (std::any_of(chosen.cbegin(), chosen.cend(), [](const auto &choice) {
            return choice.second == norms::firm::Choice::Theirs;
        }))
        m_undo->clear();
    emit changed(shown ? currentNormId(shown->id) : shownNormId);
    return waiting;
}
