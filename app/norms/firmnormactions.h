#pragma once

#include "firmexchange.h"
#include "firmstore.h"

#include <QObject>

#include <functional>
#include <optional>
#include <utility>

class FirmBook;
class NormBase;
class QAction;
class QLabel;
class QPushButton;
class QUndoStack;
class QWidget;

// The buttons and dialogs of the norm window for the firm's own norms: made anew or from a
// federal norm, edited, deleted, restored from their history, their conflicts with a shared file
// resolved. The base's FirmBook makes every change and keeps them for undo; what it says of a
// failure is told here.
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
    QUndoStack *undoStack() const;

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
    // What the book said of a failure of the base, in the report's box over the window.
    void tell(const QString &failure);
    void openEditor(const norms::firm::Draft &draft, qint64 id);
    std::optional<norms::firm::Entry> shownEntry();
    void updateConflictsNote(int count);

    NormBase &m_base;
    FirmBook &m_book;
    QWidget &m_window;
    std::optional<norms::Norm> m_shown;
    ConflictChooser m_chooseConflicts;

    QPushButton *m_new = nullptr;
    QPushButton *m_fromFederal = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_history = nullptr;
    QLabel *m_conflictsNote = nullptr;
    QWidget *m_conflictsRow = nullptr;
};
