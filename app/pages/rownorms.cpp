#include "rownorms.h"

#include "normbrowse.h"
#include "normlookup.h"
#include "norms/normbase.h"
#include "rownormdialog.h"
#include "widgets/resultrows.h"

#include <QAction>
#include <QMenu>

namespace {

RowNorms::Chooser &testChooser()
{
    static RowNorms::Chooser chooser;
    return chooser;
}

const QString kOffer = QStringLiteral("Чтобы взять расход из нормы, щелкните название строки "
                                      "правой кнопкой мыши и выберите «Выбрать норму...».");

} // namespace

RowNorms::RowNorms(Page page, NormBase *base, ResultRows &rows, QObject *parent)
    : QObject(parent), m_page(std::move(page)), m_base(base), m_rows(rows)
{
    // The caption's menu is the group's, with the row's own entries after it.
    for (int row = 0; row < m_rows.count(); ++row) {
        QLabel *caption = m_rows.row(row).caption;
        caption->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(
            caption, &QWidget::customContextMenuRequested, this,
            [this, row, caption](const QPoint &at) { showMenu(row, caption->mapToGlobal(at)); });
    }
    if (m_base)
        connect(m_base, &NormBase::changed, this, &RowNorms::choicesChanged);
}

void RowNorms::setChooser(Chooser chooser)
{
    testChooser() = std::move(chooser);
}

bool RowNorms::offers(int row) const
{
    return row < m_published.size() && m_published.at(row).kind == calc::FigureBasis::Kind::NoRate;
}

normrate::RowUnit RowNorms::unitOf(int row) const
{
    return {m_page.work, m_page.workName, m_page.figures.at(row).unit};
}

void RowNorms::read(int variant)
{
    m_variant = variant;
    m_published = m_page.publishedBases(variant);
    m_chosen.clear();
    m_problems.clear();
    for (int row = 0; row < m_rows.count(); ++row) {
        const std::optional<RowChoice> choice =
            offers(row) ? rowchoices::remembered(placeOf(row)) : std::nullopt;
        if (!choice)
            continue;
        QString problem;
        try {
            problem = take(row, *choice);
        } catch (const norms::sql::Failure &failure) {
            problem = norms::failureText(failure, m_base->path());
        }
        if (!problem.isEmpty())
            m_problems.insert(row, problem);
    }
}

QString RowNorms::take(int row, const RowChoice &choice)
{
    // Opened only for a choice: a page without one leaves the base alone.
    norms::NormDatabase *database = m_base ? m_base->database() : nullptr;
    const std::optional<qint64> id =
        database ? norms::findNorm(*database, choice.norm) : std::nullopt;
    const std::optional<norms::Norm> norm = id ? norms::readNorm(*database, *id) : std::nullopt;
    if (!norm)
        return QStringLiteral("Выбранная норма %1 не найдена в базе норм.").arg(choice.norm);
    const qsizetype resource = normrate::resourceOf(*norm, choice);
    if (resource < 0)
        return QStringLiteral("В норме %1 нет выбранного ресурса %2.")
            .arg(choice.norm, choice.resource.isEmpty()
                                  ? QStringLiteral("№ %1").arg(choice.position + 1)
                                  : choice.resource);
    const normrate::Rate rate = normrate::rateOf(*norm, resource, unitOf(row));
    if (!rate.refusal.isEmpty())
        return QStringLiteral("Выбранная норма %1 не дает расхода: %2.")
            .arg(choice.norm, rate.refusal);
    // The rate is in the row's own unit: the figure keeps it.
    calc::BillFigure figure = m_page.figures.at(row);
    figure.source += QStringLiteral("; норма ") + norm->fullCode();
    const QString unit = rate.unit + u'/' + m_page.work;
    m_chosen.insert(
        row, {rate.perUnit, unit.toUtf8(), normrate::sourceOf(*norm, resource).toUtf8(), figure});
    return QString();
}

calc::BillFigure RowNorms::figure(int row) const
{
    const auto chosen = m_chosen.constFind(row);
    return chosen != m_chosen.cend() ? chosen->figure : m_page.figures.at(row);
}

QString RowNorms::valueUnit(int row) const
{
    return !m_page.captionUnits && m_chosen.contains(row) ? m_page.figures.at(row).unit : QString();
}

QStringList RowNorms::explained(QStringList texts) const
{
    for (int row = 0; row < texts.size(); ++row) {
        if (!offers(row) || m_chosen.contains(row))
            continue;
        if (const QString problem = m_problems.value(row); !problem.isEmpty())
            texts[row] += u'\n' + problem;
        texts[row] += u'\n' + kOffer;
    }
    return texts;
}

void RowNorms::showMenu(int row, const QPoint &where)
{
    auto *menu = new QMenu(m_rows.row(row).caption);
    menu->setObjectName(QStringLiteral("RowMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions(m_rows.actions());
    if (offers(row)) {
        menu->addSeparator();
        QAction *choose = menu->addAction(QStringLiteral("Выбрать норму..."));
        choose->setObjectName(QStringLiteral("ChooseRowNorm"));
        connect(choose, &QAction::triggered, this, [this, row] { this->choose(row); });
        if (rowchoices::remembered(placeOf(row))) {
            QAction *forget = menu->addAction(QStringLiteral("Не брать расход из нормы"));
            forget->setObjectName(QStringLiteral("ForgetRowNorm"));
            connect(forget, &QAction::triggered, this, [this, row] { this->forget(row); });
        }
    }
    menu->popup(where);
}

void RowNorms::choose(int row)
{
    const RowNormRequest request{
        m_rows.window(),    m_base,      m_rows.row(row).caption->text(),
        m_page.searchWords, unitOf(row), rowchoices::remembered(placeOf(row))};
    const std::optional<RowChoice> choice =
        testChooser() ? testChooser()(request) : RowNormDialog::choose(request);
    if (!choice)
        return;
    rowchoices::remember(placeOf(row), *choice);
    emit choicesChanged();
}

void RowNorms::forget(int row)
{
    rowchoices::forget(placeOf(row));
    emit choicesChanged();
}
