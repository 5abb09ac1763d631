#include "firmnormactions.h"

#include "common/errorreport.h"
#include "firmbook.h"
#include "firmconflictsdialog.h"
#include "firmhistoryview.h"
#include "firmnormeditor.h"
#include "normbase.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>

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
    : QObject(&window), m_base(base), m_book(base.firmBook()), m_window(window)
{
    connect(&m_book, &FirmBook::changed, this, &FirmNormActions::changed);
    m_chooseConflicts = [this](const QList<norms::firm::Conflict> &conflicts) {
        FirmConflictsDialog dialog(conflicts, &m_window);
        if (dialog.exec() != QDialog::Accepted)
            return QList<std::pair<qint64, norms::firm::Choice>>();
        return dialog.choices();
    };
    QUndoStack *stack = m_book.undoStack();
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
    connect(undo, &QAction::triggered, this, [this] {
        QString error;
        if (!m_book.undo(&error))
            tell(error);
    });
    connect(redo, &QAction::triggered, this, [this] {
        QString error;
        if (!m_book.redo(&error))
            tell(error);
    });
    connect(stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(stack, &QUndoStack::undoTextChanged, undo, [undo](const QString &text) {
        undo->setText(text.isEmpty() ? QStringLiteral("Отменить")
                                     : QStringLiteral("Отменить: ") + text);
    });
    connect(stack, &QUndoStack::redoTextChanged, redo, [redo](const QString &text) {
        redo->setText(text.isEmpty() ? QStringLiteral("Повторить")
                                     : QStringLiteral("Повторить: ") + text);
    });
}

FirmNormActions::~FirmNormActions() = default;

void FirmNormActions::tell(const QString &failure)
{
    // A base that is not there, with nothing said of why, has nothing to tell.
    if (!failure.isEmpty())
        errorreport::show(failure, &m_window);
}

QUndoStack *FirmNormActions::undoStack() const
{
    return m_book.undoStack();
}

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

std::optional<norms::firm::Entry> FirmNormActions::shownEntry()
{
    if (!m_shown || !m_shown->firm)
        return std::nullopt;
    QString error;
    const std::optional<norms::firm::Entry> entry = m_book.entryOfNorm(m_shown->id, &error);
    tell(error);
    return entry;
}

void FirmNormActions::makeNew()
{
    QString error;
    const std::optional<QString> prefix = m_book.prefix(&error);
    if (!prefix) {
        tell(error);
        return;
    }
    norms::firm::Draft draft;
    draft.code = *prefix + u'-';
    openEditor(draft, 0);
}

void FirmNormActions::makeFromShown()
{
    if (!m_shown || m_shown->firm || !m_base.database())
        return;
    QString error;
    if (const std::optional<QString> prefix = m_book.prefix(&error))
        openEditor(norms::firm::draftFrom(*m_shown, *prefix), 0);
    tell(error);
}

void FirmNormActions::editShown()
{
    if (const auto entry = shownEntry())
        openEditor(norms::firm::draftOf(*m_shown), entry->id);
}

void FirmNormActions::openEditor(const norms::firm::Draft &draft, qint64 id)
{
    norms::rates::Tables tables;
    try {
        tables = norms::rates::currentTables(m_base.database());
    } catch (const norms::sql::Failure &) {
        // The shipped tables still offer every item.
    }
    auto *editor = new FirmNormEditor(
        draft, [this, id](const QString &code) { return m_book.codeTaken(code, id); },
        [this, id](const norms::firm::Draft &made) {
            QString error;
            const bool done = id == 0 ? m_book.create(made, &error) : m_book.save(id, made, &error);
            tell(error);
            return done;
        },
        &m_window, tables);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open();
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
    QString error;
    m_book.remove(*entry, &error);
    tell(error);
}

void FirmNormActions::showHistory()
{
    const auto entry = shownEntry();
    if (!entry)
        return;
    auto *view = new FirmHistoryView(entry->code, &m_window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    // The id stays the norm's through a creation undone and done again.
    const qint64 id = entry->id;
    const auto fill = [this, view, id] {
        QString error;
        if (const auto history = m_book.history(id, &error))
            view->setHistory(*history);
        tell(error);
    };
    fill();
    connect(view, &FirmHistoryView::restoreRequested, this,
            [this, id, code = entry->code, fill](int number) {
                QString error;
                if (m_book.restore(id, number, code, &error))
                    fill();
                else
                    tell(error);
            });
    view->open();
}

void FirmNormActions::offerConflicts()
{
    if (!m_base.database() || !m_conflictsNote)
        return;
    QString error;
    const std::optional<QList<norms::firm::Conflict>> waiting = m_book.conflicts(&error);
    if (!waiting) {
        tell(error);
        return;
    }
    updateConflictsNote(int(waiting->size()));
    if (waiting->isEmpty())
        return;
    const auto chosen = m_chooseConflicts(*waiting);
    if (chosen.isEmpty())
        return;
    if (const std::optional<int> left = m_book.resolve(chosen, m_shown ? m_shown->id : 0, &error))
        updateConflictsNote(*left);
    tell(error);
}

void FirmNormActions::updateConflictsNote(int count)
{
    m_conflictsNote->setText(
        QStringLiteral("Есть неразобранные конфликты фирменных норм: %1.").arg(count));
    m_conflictsRow->setVisible(count > 0);
}
