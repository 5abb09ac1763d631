#pragma once

#include "firmexchange.h"
#include "firmstore.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class NormBase;
class QUndoStack;
class QWidget;
namespace firmcommands {
class FirmCommand;
}

// The firm's own norms of the base as a document: every change of them and its undoing, and
// the one place a failure of the base is told. A change the stack keeps was made before it was
// pushed, so a failure never reaches the stack; an import clears the stack, as it may bring
// newer versions of the very norms on it.
class FirmBook : public QObject
{
    Q_OBJECT

public:
    using Choices = QList<std::pair<qint64, norms::firm::Choice>>;

    explicit FirmBook(NormBase &base, QObject *parent = nullptr);
    ~FirmBook() override;

    NormBase &base() const { return m_base; }
    QUndoStack *undoStack() const { return m_undo; }
    // The window failures are told over; none: the active one.
    void setOwner(QWidget *owner);

    // The firm norm a norm of the base is a version of; none for another norm or on a failure.
    std::optional<norms::firm::Entry> entryOfNorm(qint64 normId);
    // The prefix of the firm's collection, the default one while there is no base yet; none
    // on a failure.
    std::optional<QString> prefix();
    // Whether another firm norm has the code; a failure is left for the save to tell.
    bool codeTaken(const QString &code, qint64 exceptId);
    // Oldest first; none on a failure.
    std::optional<QList<norms::firm::Version>> history(qint64 id);
    // The conflicts waiting; none on a failure.
    std::optional<QList<norms::firm::Conflict>> conflicts();
    // The current version of a firm norm by code, none when the base lacks it or fails; quiet,
    // as the norm window tells what is wrong with the base.
    std::optional<int> currentVersion(const QString &code);

    // A new firm norm, or a new version of one; false when the base refused it, which was told.
    bool create(const norms::firm::Draft &draft);
    bool save(qint64 id, const norms::firm::Draft &draft);
    void remove(const norms::firm::Entry &entry);
    // A new version equal to the one numbered, unless the current one already is.
    void restore(qint64 id, int number, const QString &code);
    // Takes the choices in one transaction; a version taken from a file clears the stack, as
    // it comes between the stack's changes and their undoing. shownNormId is the norm the
    // window shows, which it keeps showing. The conflicts still waiting, none on a failure.
    std::optional<int> resolve(const Choices &chosen, qint64 shownNormId);

    // The id the stack knows a firm norm by, shared by every change of it, as a creation undone
    // and done again gives the norm a new id.
    std::shared_ptr<qint64> idHolder(qint64 id);

    // Used by the commands only. A step against the base; a failure is told, and false.
    using Step = std::function<void(norms::firm::FirmStore &store)>;
    bool run(const Step &step);
    // A step of the stack's, undoing or doing again, with the norm to show after it.
    void replay(const Step &step, const std::shared_ptr<qint64> &id);

signals:
    // A firm norm changed: the window shows this norm (0: none) and searches afresh.
    void changed(qint64 normId);

private:
    // Pushes a change it makes first; false when that failed.
    bool push(firmcommands::FirmCommand *command);
    // The one place a failure of the base is caught: told unless quiet, and false.
    bool attempt(const std::function<void()> &operation, bool quiet = false);
    qint64 currentNormId(qint64 id);

    NormBase &m_base;
    QUndoStack *m_undo;
    QPointer<QWidget> m_owner;
    // Every change of a firm norm on the stack takes its id from here.
    QList<std::weak_ptr<qint64>> m_ids;
};
