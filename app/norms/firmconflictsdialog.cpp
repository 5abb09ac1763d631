#include "firmconflictsdialog.h"

#include "normcompute.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// One side of a conflict: who saved it when and what changed, then what the norm says: its
// source and every rate, and its code, name, measure and work content where the sides differ.
QStringList versionLines(const norms::firm::Version &version, const norms::firm::Version &other)
{
    const norms::firm::Draft &draft = version.draft;
    const norms::firm::Draft &theirs = other.draft;
    QStringList lines{
        QStringLiteral("Версия %1 от %2, %3")
            .arg(QString::number(version.number),
                 version.savedAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                 version.login),
        QStringLiteral("Изменено: ") + version.changes};
    if (draft.code != theirs.code)
        lines.append(QStringLiteral("Код: ") + draft.code);
    if (draft.name != theirs.name)
        lines.append(QStringLiteral("Наименование: ") + draft.name);
    if (draft.measure != theirs.measure)
        lines.append(QStringLiteral("Измеритель: ") + draft.measure);
    if (draft.content != theirs.content)
        lines.append(QStringLiteral("Состав работ: ") + norms::workContentText(draft.content));
    lines.append(QStringLiteral("Источник: ") + draft.source);
    for (const norms::NormResource &resource : draft.resources)
        lines.append(QStringLiteral("  %1, %2: %3")
                         .arg(resource.name, resource.unit, norms::rateText(resource.rate)));
    return lines;
}

// The side's lines, those the other side lacks marked; who saved it and when always differ and
// stay plain.
QString versionText(const QStringList &lines, const QStringList &other)
{
    QStringList shown;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).toHtmlEscaped();
        shown.append(i >= 2 && !other.contains(lines.at(i))
                         ? QStringLiteral("<span style=\"background-color:#ffe680; "
                                          "color:#000000\">%1</span>")
                               .arg(line)
                         : line);
    }
    return QStringLiteral("<div style=\"white-space:pre-wrap\">%1</div>")
        .arg(shown.join(QStringLiteral("<br>")));
}

QLabel *sideLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

FirmConflictsDialog::FirmConflictsDialog(const QList<norms::firm::Conflict> &conflicts,
                                         QWidget *parent)
    : QDialog(parent), m_conflicts(conflicts)
{
    setObjectName(QStringLiteral("FirmConflicts"));
    setWindowTitle(QStringLiteral("Конфликты фирменных норм"));
    auto *intro = new QLabel(
        QStringLiteral("Эти фирменные нормы изменены и здесь, и в общем файле после прошлой "
                       "загрузки. Выберите для каждой, какую версию оставить; невыбранные "
                       "подождут до следующего раза. Строки, в которых версии расходятся, "
                       "выделены."),
        this);
    intro->setWordWrap(true);

    auto *list = new QWidget;
    auto *listLayout = new QVBoxLayout(list);
    for (const norms::firm::Conflict &conflict : conflicts) {
        auto *box = new QGroupBox(conflict.code, list);
        box->setObjectName(QStringLiteral("FirmConflict"));
        auto *grid = new QGridLayout(box);
        grid->addWidget(sideLabel(QStringLiteral("<b>Наша</b>"), box), 0, 0);
        grid->addWidget(sideLabel(QStringLiteral("<b>Из файла «%1»</b>")
                                      .arg(QFileInfo(conflict.file).fileName().toHtmlEscaped()),
                                  box),
                        0, 1);
        const QStringList ours = versionLines(conflict.ours, conflict.theirs);
        const QStringList theirs = versionLines(conflict.theirs, conflict.ours);
        QLabel *oursText = sideLabel(versionText(ours, theirs), box);
        oursText->setObjectName(QStringLiteral("FirmOursVersion"));
        QLabel *theirsText = sideLabel(versionText(theirs, ours), box);
        theirsText->setObjectName(QStringLiteral("FirmTheirsVersion"));
        grid->addWidget(oursText, 1, 0);
        grid->addWidget(theirsText, 1, 1);
        auto *keep = new QRadioButton(QStringLiteral("Оставить нашу"), box);
        keep->setObjectName(QStringLiteral("FirmKeepOurs"));
        auto *take = new QRadioButton(QStringLiteral("Взять из файла"), box);
        take->setObjectName(QStringLiteral("FirmTakeTheirs"));
        grid->addWidget(keep, 2, 0);
        grid->addWidget(take, 2, 1);
        grid->setColumnStretch(0, 1);
        grid->setColumnStretch(1, 1);
        auto *group = new QButtonGroup(box);
        group->addButton(keep, int(norms::firm::Choice::Ours));
        group->addButton(take, int(norms::firm::Choice::Theirs));
        m_groups.append(group);
        listLayout->addWidget(box);
    }
    listLayout->addStretch(1);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *apply =
        buttons->addButton(QStringLiteral("&Применить"), QDialogButtonBox::AcceptRole);
    apply->setObjectName(QStringLiteral("FirmApplyChoices"));
    QPushButton *later =
        buttons->addButton(QStringLiteral("&Отложить"), QDialogButtonBox::RejectRole);
    later->setObjectName(QStringLiteral("FirmPostpone"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    resize(820, 560);
}

QList<std::pair<qint64, norms::firm::Choice>> FirmConflictsDialog::choices() const
{
    QList<std::pair<qint64, norms::firm::Choice>> chosen;
    for (qsizetype i = 0; i < m_conflicts.size(); ++i)
        if (const int id = m_groups.at(i)->checkedId(); id >= 0)
            chosen.append({m_conflicts.at(i).id, norms::firm::Choice(id)});
    return chosen;
}
