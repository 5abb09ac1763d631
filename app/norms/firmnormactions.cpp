#include "firmnormactions.h"

#include "common/errorreport.h"
#include "firmconflictsdialog.h"
#include "firmhistoryview.h"
#include "firmnormeditor.h"
#include "normbase.h"

#include <QAction>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>

// A change already made, kept for undo: its first redo is the change itself, done before it was
// pushed so that a failure never reaches the stack.
class FirmNormActions::Command : public QUndoCommand
{
public:
    Command(const QString &text, FirmNormActions &owner, std::shared_ptr<qint64> id, Step redo,
            Step undo)
        : QUndoCommand(text), m_owner(owner), m_id(std::move(id)), m_redo(std::move(redo)),
          m_undo(std::move(undo))
    {
    }

    void redo() override
    {
        if (std::exchange(m_done, false))
            return;
        m_owner.run(m_redo, m_id);
    }
    void undo() override { m_owner.run(m_undo, m_id); }

private:
    FirmNormActions &m_owner;
    std::shared_ptr<qint64> m_id;
    Step m_redo;
    Step m_undo;
    bool m_done = true;
};

namespace {

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *made = new QPushButton(text, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    return made;
}

} // namespace

FirmNormActions::FirmNormActions(NormBase &base, QWidget &window)
    : QObject(&window), m_base(base), m_window(window), m_undo(new QUndoStack(this))
{
    m_chooseConflicts = [this](const QList<norms::firm::Conflict> &conflicts) {
        FirmConflictsDialog dialog(conflicts, &m_window);
        if (dialog.exec() != QDialog::Accepted)
            return QList<std::pair<qint64, norms::firm::Choice>>();
        return dialog.choices();
    };
    // An import may bring newer versions of the very norms on the stack.
    connect(&m_base, &NormBase::changed, m_undo, &QUndoStack::clear);

    auto *undo = new QAction(QStringLiteral("Отменить"), &m_window);
    undo->setObjectName(QStringLiteral("FirmUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto *redo = new QAction(QStringLiteral("Повторить"), &m_window);
    redo->setObjectName(QStringLiteral("FirmRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        m_window.addAction(action);
    }
    connect(undo, &QAction::triggered, m_undo, &QUndoStack::undo);
    connect(redo, &QAction::triggered, m_undo, &QUndoStack::redo);
    connect(m_undo, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::undoTextChanged, undo, [undo](const QString &text) {
        undo->setText(text.isEmpty() ? QStringLiteral("Отменить")
                                     : QStringLiteral("Отменить: ") + text);
    });
    connect(m_undo, &QUndoStack::redoTextChanged, redo, [redo](const QString &text) {
        redo->setText(text.isEmpty() ? QStringLiteral("Повторить")
                                     : QStringLiteral("Повторить: ") + text);
    });
}

FirmNormActions::~FirmNormActions() = default;

QWidget *FirmNormActions::createButtons(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    m_new = button("FirmNew", QStringLiteral("Новая нор&ма..."), bar);
    m_new->setToolTip(QStringLiteral("Новая фирменная норма"));
    m_fromFederal =
        button("FirmFromFederal", QStringLiteral("Создать &фирменную на основе..."), bar);
    m_fromFederal->setToolTip(QStringLiteral("Фирменная норма с ресурсами показанной нормы"));
    m_edit = button("FirmEdit", QStringLiteral("&Изменить..."), bar);
    m_delete = button("FirmDelete", QStringLiteral("&Удалить"), bar);
    m_history = button("FirmHistory", QStringLiteral("Ис&тория..."), bar);
    connect(m_new, &QPushButton::clicked, this, &FirmNormActions::makeNew);
    connect(m_fromFederal, &QPushButton::clicked, this, &FirmNormActions::makeFromShown);
    connect(m_edit, &QPushButton::clicked, this, &FirmNormActions::editShown);
    connect(m_delete, &QPushButton::clicked, this, &FirmNormActions::deleteShown);
    connect(m_history, &QPushButton::clicked, this, &FirmNormActions::showHistory);
    for (QPushButton *shown : {m_new, m_fromFederal, m_edit, m_delete, m_history})
        line->addWidget(shown);
    line->addStretch(1);

    // The stack's actions as small buttons, which leave the norm's buttons their room; the
    // tooltip names the change they would undo.
    for (const char *name : {"FirmUndo", "FirmRedo"}) {
        auto *action = m_window.findChild<QAction *>(QString::fromLatin1(name));
        const bool back = name == std::string_view("FirmUndo");
        auto *step = new QToolButton(bar);
        step->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
        step->setIcon(QIcon::fromTheme(
            back ? QStringLiteral("edit-undo") : QStringLiteral("edit-redo"),
            bar->style()->standardIcon(back ? QStyle::SP_ArrowBack : QStyle::SP_ArrowForward)));
        step->setAccessibleName(back ? QStringLiteral("Отменить") : QStringLiteral("Повторить"));
        const auto follow = [step, action] {
            step->setEnabled(action->isEnabled());
            step->setToolTip(action->text() + QStringLiteral(" (") +
                             action->shortcut().toString(QKeySequence::NativeText) + u')');
        };
        follow();
        connect(step, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, step, follow);
        line->addWidget(step);
    }
    setShownNorm(m_shown);
    return bar;
}

QWidget *FirmNormActions::createConflictsNote(QWidget *parent)
{
    m_conflictsRow = new QWidget(parent);
    auto *line = new QHBoxLayout(m_conflictsRow);
    line->setContentsMargins(0, 0, 0, 0);
    m_conflictsNote = new QLabel(m_conflictsRow);
    m_conflictsNote->setObjectName(QStringLiteral("FirmConflictsNote"));
    QPushButton *show =
        button("FirmShowConflicts", QStringLiteral("Р&азобрать..."), m_conflictsRow);
    connect(show, &QPushButton::clicked, this, &FirmNormActions::offerConflicts);
    line->addWidget(m_conflictsNote);
    line->addWidget(show);
    line->addStretch(1);
    m_conflictsRow->hide();
    return m_conflictsRow;
}

void FirmNormActions::setShownNorm(const std::optional<norms::Norm> &norm)
{
    m_shown = norm;
    if (!m_new)
        return;
    const bool firm = norm && norm->firm;
    // A first firm norm may start the base; a refused base takes none.
    m_new->setEnabled(m_base.database() != nullptr || m_base.refusal().isEmpty());
    m_fromFederal->setVisible(norm && !firm);
    for (QPushButton *own : {m_edit, m_delete, m_history})
        own->setVisible(firm);
}

void FirmNormActions::setConflictChooser(ConflictChooser choose)
{
    m_chooseConflicts = std::move(choose);
}

void FirmNormActions::report(const norms::sql::Failure &failure)
{
    errorreport::show(norms::failureText(failure, m_base.path()), &m_window);
}

std::shared_ptr<qint64> FirmNormActions::idHolder(qint64 id)
{
    m_ids.removeIf([](const std::weak_ptr<qint64> &held) { return held.expired(); });
    for (const std::weak_ptr<qint64> &held : std::as_const(m_ids))
        if (std::shared_ptr<qint64> holder = held.lock(); *holder == id)
            return holder;
    auto holder = std::make_shared<qint64>(id);
    m_ids.append(holder);
    return holder;
}

std::optional<norms::firm::Entry> FirmNormActions::shownEntry()
{
    if (!m_shown || !m_shown->firm || !m_base.database())
        return std::nullopt;
    try {
        return norms::firm::FirmStore(*m_base.database()).entryOfNorm(m_shown->id);
    } catch (const norms::sql::Failure &failure) {
        report(failure);
    }
    return std::nullopt;
}

qint64 FirmNormActions::currentNormId(qint64 id)
{
    if (id == 0 || !m_base.database())
        return 0;
    try {
        const auto entry = norms::firm::FirmStore(*m_base.database()).entry(id);
        return entry && !entry->deleted ? entry->normId : 0;
    } catch (const norms::sql::Failure &failure) {
        report(failure);
    }
    return 0;
}

bool FirmNormActions::change(const QString &text, const std::shared_ptr<qint64> &id,
                             const Step &redo, const Step &undo)
{
    try {
        norms::firm::FirmStore store(*m_base.database());
        redo(store);
    } catch (const norms::sql::Failure &failure) {
        report(failure);
        return false;
    }
    m_undo->push(new Command(text, *this, id, redo, undo));
    emit changed(currentNormId(*id));
    return true;
}

void FirmNormActions::run(const Step &step, const std::shared_ptr<qint64> &id)
{
    if (!m_base.database())
        return;
    try {
        norms::firm::FirmStore store(*m_base.database());
        step(store);
    } catch (const norms::sql::Failure &failure) {
        report(failure);
    }
    emit changed(currentNormId(*id));
}

void FirmNormActions::makeNew()
{
    norms::firm::Draft draft;
    try {
        norms::NormDatabase *database = m_base.database();
        draft.code =
            (database ? norms::firm::FirmStore(*database).prefix() : norms::firm::defaultPrefix()) +
            u'-';
    } catch (const norms::sql::Failure &failure) {
        report(failure);
        return;
    }
    openEditor(draft, 0);
}

void FirmNormActions::makeFromShown()
{
    if (!m_shown || m_shown->firm || !m_base.database())
        return;
    try {
        const QString prefix = norms::firm::FirmStore(*m_base.database()).prefix();
        openEditor(norms::firm::draftFrom(*m_shown, prefix), 0);
    } catch (const norms::sql::Failure &failure) {
        report(failure);
    }
}

void FirmNormActions::editShown()
{
    if (const auto entry = shownEntry())
        openEditor(norms::firm::draftOf(*m_shown), entry->id);
}

void FirmNormActions::openEditor(const norms::firm::Draft &draft, qint64 id)
{
    auto *editor = new FirmNormEditor(
        draft,
        [this, id](const QString &code) {
            try {
                return m_base.database() &&
                       norms::firm::FirmStore(*m_base.database()).codeTaken(code, id);
            } catch (const norms::sql::Failure &) {
                // The save says what is wrong with the base; the field waits for it.
                return false;
            }
        },
        [this, id](const norms::firm::Draft &made) { return save(id, made); }, &m_window);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open();
}

bool FirmNormActions::save(qint64 id, const norms::firm::Draft &draft)
{
    if (!m_base.databaseToWrite()) {
        errorreport::show(m_base.refusal(), &m_window);
        return false;
    }
    const QString login = norms::firm::currentLogin();
    const QDateTime at = QDateTime::currentDateTime();
    if (id == 0) {
        auto made = std::make_shared<qint64>(0);
        m_ids.append(made);
        return change(
            QStringLiteral("создание %1").arg(draft.code), made,
            [made, draft, login, at](norms::firm::FirmStore &store) {
                *made = store.save(0, draft, login, at).id;
            },
            [made](norms::firm::FirmStore &store) {
                store.erase(*made);
                *made = 0;
            });
    }
    try {
        const auto current = norms::firm::FirmStore(*m_base.database()).currentVersion(id);
        // Nothing changed makes no version, and nothing to undo.
        if (current && current->draft == draft)
            return true;
    } catch (const norms::sql::Failure &failure) {
        report(failure);
        return false;
    }
    const std::shared_ptr<qint64> held = idHolder(id);
    return change(
        QStringLiteral("изменение %1").arg(draft.code), held,
        [held, draft, login, at](norms::firm::FirmStore &store) {
            store.save(*held, draft, login, at);
        },
        [held](norms::firm::FirmStore &store) { store.dropLastVersion(*held); });
}

void FirmNormActions::deleteShown()
{
    const auto entry = shownEntry();
    if (!entry)
        return;
    const QString question = QStringLiteral("Удалить фирменную норму «%1»? Ее история сохранится, "
                                            "удаление можно отменить.")
                                 .arg(entry->code);
    if (errorreport::askToChoose(question, {QStringLiteral("Да"), QStringLiteral("Нет")}, 0,
                                 &m_window) != 0)
        return;
    const std::shared_ptr<qint64> held = idHolder(entry->id);
    change(
        QStringLiteral("удаление %1").arg(entry->code), held,
        [held](norms::firm::FirmStore &store) { store.remove(*held); },
        [held](norms::firm::FirmStore &store) { store.undelete(*held); });
}

void FirmNormActions::showHistory()
{
    const auto entry = shownEntry();
    if (!entry)
        return;
    auto *view = new FirmHistoryView(entry->code, &m_window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    const std::shared_ptr<qint64> held = idHolder(entry->id);
    const auto fill = [this, view, held] {
        try {
            view->setHistory(norms::firm::FirmStore(*m_base.database()).history(*held));
        } catch (const norms::sql::Failure &failure) {
            report(failure);
        }
    };
    fill();
    connect(view, &FirmHistoryView::restoreRequested, this,
            [this, held, code = entry->code, fill](int number) {
                restore(*held, number, code);
                fill();
            });
    view->open();
}

void FirmNormActions::restore(qint64 id, int number, const QString &code)
{
    try {
        norms::firm::FirmStore store(*m_base.database());
        const auto current = store.currentVersion(id);
        for (const norms::firm::Version &version : store.history(id))
            if (version.number == number && current && version.draft == current->draft)
                return;
    } catch (const norms::sql::Failure &failure) {
        report(failure);
        return;
    }
    const std::shared_ptr<qint64> held = idHolder(id);
    const QString login = norms::firm::currentLogin();
    const QDateTime at = QDateTime::currentDateTime();
    change(
        QStringLiteral("восстановление версии %1 нормы %2").arg(QString::number(number), code),
        held,
        [held, number, login, at](norms::firm::FirmStore &store) {
            store.restore(*held, number, login, at);
        },
        [held](norms::firm::FirmStore &store) { store.dropLastVersion(*held); });
}

void FirmNormActions::offerConflicts()
{
    norms::NormDatabase *database = m_base.database();
    if (!database || !m_conflictsNote)
        return;
    QList<norms::firm::Conflict> waiting;
    try {
        waiting = norms::firm::conflicts(*database);
    } catch (const norms::sql::Failure &failure) {
        report(failure);
        return;
    }
    updateConflictsNote(int(waiting.size()));
    if (waiting.isEmpty())
        return;
    const auto chosen = m_chooseConflicts(waiting);
    if (chosen.isEmpty())
        return;
    const std::optional<norms::firm::Entry> shown = shownEntry();
    bool taken = false;
    try {
        const QString login = norms::firm::currentLogin();
        const QDateTime at = QDateTime::currentDateTime();
        norms::sql::Transaction transaction(database->connection());
        for (const auto &[id, choice] : chosen) {
            norms::firm::resolve(*database, id, choice, login, at);
            taken = taken || choice == norms::firm::Choice::Theirs;
        }
        transaction.commit();
        updateConflictsNote(int(norms::firm::conflicts(*database).size()));
    } catch (const norms::sql::Failure &failure) {
        report(failure);
        return;
    }
    // A version taken from the file would come between the stack's changes and their undoing.
    if (taken)
        m_undo->clear();
    emit changed(shown ? currentNormId(shown->id) : m_shown ? m_shown->id : 0);
}

void FirmNormActions::updateConflictsNote(int count)
{
    m_conflictsNote->setText(
        QStringLiteral("Есть неразобранные конфликты фирменных норм: %1.").arg(count));
    m_conflictsRow->setVisible(count > 0);
}
