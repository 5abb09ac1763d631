#pragma once

#include "firmexchange.h"
#include "firmstore.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>
#include <utility>

class NormBase;
class QUndoStack;
namespace firmcommands {
class FirmCommand;
}

// The firm's own norms of the base as a document: every change of them and its undoing, and
// every read of them the windows make. A failure of the base comes back to the caller as the
// text the user is to read, through error; the book shows nothing itself.
//
// The stack never claims a state the base does not have: a change is made before it is pushed,
// so a refused one never reaches the stack; an undo or redo the base refuses clears the stack,
// as an import does, which may bring newer versions of the very norms on it. A creation undone
// and done again takes back its id, so that every change on the stack keeps the id it was made
// with.
class FirmBook : public QObject
{
    Q_OBJECT

public:
    using Choices = QList<std::pair<qint64, norms::firm::Choice>>;

    explicit FirmBook(NormBase &base, QObject *parent = nullptr);
    ~FirmBook() override;

    NormBase &base() const { return m_base; }
    QUndoStack *undoStack() const { return m_undo; }

    // Reads; none on a failure, which error then says.
    // The firm norm a norm of the base is a version of; none for another norm too.
    std::optional<norms::firm::Entry> entryOfNorm(qint64 normId, QString *error);
    // The prefix of the firm's collection, the default one while there is no base yet.
    std::optional<QString> prefix(QString *error);
    // Oldest first.
    std::optional<QList<norms::firm::Version>> history(qint64 id, QString *error);
    // The conflicts waiting.
    std::optional<QList<norms::firm::Conflict>> conflicts(QString *error);
    // The federal norm a firm norm was made from, when the base has it.
    std::optional<norms::Norm> origin(const norms::Norm &firmNorm, QString *error);
    // Quiet reads: a failure is left for the save, or for the norm window, to tell.
    // Whether another firm norm has the code.
    bool codeTaken(const QString &code, qint64 exceptId);
    // The current version of a firm norm by code, none when the base lacks it.
    std::optional<int> currentVersion(const QString &code);

    // The firm's norms written to a file for the others, chosen once there is a base to export
    // from; the reason when not done, none when no file was chosen.
    norms::firm::ExportResult exportTo(const std::function<QString()> &choosePath);

    // Changes; false when the base refused, which error then says.
    // A new firm norm, or a new version of one.
    bool create(const norms::firm::Draft &draft, QString *error);
    bool save(qint64 id, const norms::firm::Draft &draft, QString *error);
    bool remove(const norms::firm::Entry &entry, QString *error);
    // A new version equal to the one numbered, unless the current one already is.
    bool restore(qint64 id, int number, const QString &code, QString *error);
    // Takes the choices in one transaction; a version taken from a file clears the stack, as
    // it comes between the stack's changes and their undoing. shownNormId is the norm the
    // window shows, which it keeps showing. The conflicts still waiting.
    std::optional<int> resolve(const Choices &chosen, qint64 shownNormId, QString *error);
    // The stack's steps; one the base refuses leaves the base as it was and the stack empty.
    bool undo(QString *error);
    bool redo(QString *error);

    // Used by the commands only. A step against the base; the failure, if any.
    using Step = std::function<void(norms::firm::FirmStore &store)>;
    std::optional<QString> run(const Step &step);
    // A step of the stack's, undoing or doing again, with the firm norm to show after it; a
    // failure is kept for undo() or redo() to answer.
    void replay(const Step &step, qint64 firmId);

signals:
    // A firm norm changed: the window shows this norm (0: none) and searches afresh.
    void changed(qint64 normId);

private:
    // Pushes a change it makes first; false when that failed.
    bool push(firmcommands::FirmCommand *command, QString *error);
    bool step(void (QUndoStack::*move)(), QString *error);
    // The one place a failure of the base is caught: its text, or none.
    std::optional<QString> attempt(const std::function<void()> &operation);
    qint64 currentNormId(qint64 id);

    NormBase &m_base;
    QUndoStack *m_undo;
    // What the base said to the stack's step under way.
    std::optional<QString> m_stepFailure;
};
