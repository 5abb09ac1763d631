#include "billheadform.h"

#include "billbook.h"
#include "billtexts.h"
#include "common/refusedcolours.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

// A date as the head shows and takes it; an empty field is no date.
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kDateReason = QStringLiteral("Дата — день, месяц и год, например 07.12.2026");

// The fields of the head's texts: the member each shows, as the bill's head names it, the
// object name, the caption with its letter and the place in the grid. Each letter's key is the
// only one of its kind in the window, in either keyboard layout. Two lines, so that the entries
// and the totals keep the height: the object, its customer and address; the people and the date.
const struct
{
    const char *member;
    const char *name;
    const char *caption;
    int row, column;
} kFields[] = {{"object", "BillObject", "О&бъект:", 0, 0},
               {"customer", "BillCustomer", "Заказ&чик:", 0, 2},
               {"address", "BillAddress", "&Адрес:", 0, 4},
               {"compiledBy", "BillCompiledBy", "Состав&ил:", 1, 0},
               {"checkedBy", "BillCheckedBy", "П&роверил:", 1, 2}};

} // namespace

BillHeadForm::BillHeadForm(BillBook &book, QWidget *window)
    : QWidget(window), m_book(book), m_window(window)
{
    setObjectName(QStringLiteral("BillHead"));
    auto *grid = new QGridLayout(this);
    const QStringList captions = billtexts::headCaptions();
    for (int i = 0; i < int(std::size(kFields)); ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(kFields[i].name));
        edit->setAccessibleName(captions.at(i));
        auto *label = new QLabel(QString::fromUtf8(kFields[i].caption), this);
        label->setBuddy(edit);
        grid->addWidget(label, kFields[i].row, kFields[i].column);
        grid->addWidget(edit, kFields[i].row, kFields[i].column + 1);
        connect(edit, &QLineEdit::editingFinished, this, &BillHeadForm::take);
        m_fields.append(edit);
    }
    // A plain field: a date edit keeps Tab for moving between its day, month and year, and one
    // that may be empty never gives it back.
    m_date = new QLineEdit(this);
    m_date->setObjectName(QStringLiteral("BillDate"));
    m_date->setAccessibleName(captions.at(5));
    m_date->setPlaceholderText(QStringLiteral("дд.мм.гггг"));
    m_date->setMaxLength(10);
    m_date->setFixedWidth(m_date->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) +
                          16);
    auto *dateLabel = new QLabel(QStringLiteral("&Дата:"), this);
    dateLabel->setBuddy(m_date);
    grid->addWidget(dateLabel, 1, 4);
    grid->addWidget(m_date, 1, 5, Qt::AlignLeft);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 3);
    connect(m_date, &QLineEdit::editingFinished, this, &BillHeadForm::take);
    // The reason a date was refused, under the field as a refused cell has its own.
    m_dateProblem = new QLabel(window);
    m_dateProblem->setObjectName(QStringLiteral("BillDateProblem"));
    m_dateProblem->setAutoFillBackground(true);
    m_dateProblem->setFrameShape(QFrame::Box);
    m_dateProblem->setMargin(4);
    m_dateProblem->setForegroundRole(QPalette::ToolTipText);
    m_dateProblem->setBackgroundRole(QPalette::ToolTipBase);
    m_dateProblem->hide();

    connect(&book, &BillBook::headChanged, this, &BillHeadForm::showHead);
    showHead();
}

BillHeadForm::~BillHeadForm()
{
    // A field that has the focus finishes its editing while the form's children go.
    for (QLineEdit *field : std::as_const(m_fields))
        field->disconnect(this);
    m_date->disconnect(this);
}

QString BillHeadForm::dateText() const
{
    return m_date->text().trimmed();
}

void BillHeadForm::focusField(const QString &name)
{
    emit revealRequested();
    if (name == u"date") {
        m_date->setFocus();
        return;
    }
    for (int i = 0; i < int(std::size(kFields)); ++i) {
        if (name == QLatin1String(kFields[i].member))
            m_fields.at(i)->setFocus();
    }
}

void BillHeadForm::showHead()
{
    const QStringList texts = billtexts::headTexts(m_book.bill().head);
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i]->text() != texts.at(i))
            m_fields[i]->setText(texts.at(i));
    }
    const QDate date = m_book.bill().head.date;
    m_date->setText(date.isValid() ? date.toString(kDateFormat) : QString());
    markDate(QString());
}

void BillHeadForm::markDate(const QString &reason)
{
    m_date->setToolTip(reason);
    refusedcolours::mark(m_date, !reason.isEmpty());
    m_dateProblem->setText(reason);
    m_dateProblem->setVisible(!reason.isEmpty());
    if (reason.isEmpty())
        return;
    m_dateProblem->adjustSize();
    const QPoint below = m_date->mapTo(m_window, QPoint(0, m_date->height() + 2));
    m_dateProblem->move(
        std::clamp(below.x(), 0, std::max(0, m_window->width() - m_dateProblem->width())),
        below.y());
    m_dateProblem->raise();
}

bool BillHeadForm::take()
{
    // The head's other fields, those of a bill of quantities, stay as they are.
    bom::Head head = m_book.bill().head;
    // Taken before every file command too: a field as shown keeps the head's text as it is.
    const auto typed = [this](int field, const QString &own) {
        const QString text = m_fields[field]->text();
        return text == own ? own : text.trimmed();
    };
    head.object = typed(0, head.object);
    head.customer = typed(1, head.customer);
    head.address = typed(2, head.address);
    head.compiledBy = typed(3, head.compiledBy);
    head.checkedBy = typed(4, head.checkedBy);
    const QString dateText = this->dateText();
    head.date = QDate::fromString(dateText, kDateFormat);
    // A date that cannot be read stays in its field, marked, with the reason, and the head keeps
    // its own; the head's other fields are taken all the same.
    const bool refused = !dateText.isEmpty() && !head.date.isValid();
    if (refused)
        head.date = m_book.bill().head.date;
    m_book.setHead(head);
    if (refused) {
        m_date->setText(dateText);
        markDate(kDateReason);
    } else {
        markDate(QString());
    }
    return !refused;
}
