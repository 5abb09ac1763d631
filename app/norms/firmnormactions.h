#pragma once

#include "firmexchange.h"
#include "firmstore.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class NormBase;
class QAction;
class QLabel;
class QPushButton;
class QUndoStack;
class QWidget;

// The firm's own norms as the norm window changes them: made anew or from a federal norm,
// edited, deleted, restored from their history, their conflicts with a shared file resolved.
// Every change but a conflict's resolution is undone and done again while the window is open.
class FirmNormActions : public QObject
{
    Q_OBJECT

public:
    // The choices made among the conflicts, by the firm norm's id; none to leave them waiting.
    using ConflictChooser = std::function<QList<std::pair<qint64, norms::firm::Choice>>(
        const QList<norms::firm::Conflict> &conflicts)>;

    FirmNormActions(NormBase &base, QWidget &window);
    ~FirmNormActions() override;

    // The buttons under a shown norm, with undo and redo.
    QWidget *createButtons(QWidget *parent);
    // The line that says conflicts wait, with its button; hidden while none do.
    QWidget *createConflictsNote(QWidget *parent);
    QUndoStack *undoStack() const { return m_undo; }

    // The norm the window shows, which the buttons act on.
    void setShownNorm(const std::optional<norms::Norm> &norm);

    void makeNew();
    void makeFromShown();
    void editShown();
    void deleteShown();
    void showHistory();

    // Asks what to do with the conflicts waiting, if any, and does it.
    void offerConflicts();
    void setConflictChooser(ConflictChooser choose);

signals:
    // A firm norm changed: the window shows this norm (0: none) and searches afresh.
    void changed(qint64 normId);

private:
    using Step = std::function<void(norms::firm::FirmStore &store)>;
    class Command;

    void openEditor(const norms::firm::Draft &draft, qint64 id);
    bool save(qint64 id, const norms::firm::Draft &draft);
    void restore(qint64 id, int number, const QString &code);
    // Makes a change that the undo stack then keeps: failures are reported and keep it off.
    bool change(const QString &text, const std::shared_ptr<qint64> &id, const Step &redo,
                const Step &undo);
    // Runs a step of the stack's and shows its outcome.
    void run(const Step &step, const std::shared_ptr<qint64> &id);
    std::shared_ptr<qint64> idHolder(qint64 id);
    std::optional<norms::firm::Entry> shownEntry();
    qint64 currentNormId(qint64 id);
    void updateConflictsNote(int count);
    void report(const norms::sql::Failure &failure);

    NormBase &m_base;
    QWidget &m_window;
    QUndoStack *m_undo;
    std::optional<norms::Norm> m_shown;
    // A firm norm's id as the undo stack knows it: a creation undone and done again gives the
    // norm a new id, which every later change of it takes from here.
    QList<std::weak_ptr<qint64>> m_ids;
    ConflictChooser m_chooseConflicts;

    QPushButton *m_new = nullptr;
    QPushButton *m_fromFederal = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_history = nullptr;
    QLabel *m_conflictsNote = nullptr;
    QWidget *m_conflictsRow = nullptr;
};
