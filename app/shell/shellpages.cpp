#include "shellpages.h"

#include "common/artwork.h"

#include <QLabel>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextFormat>

namespace shellpages {

namespace {

QLabel *picture(const QString &name, const QString &file, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    artwork::showWhenShown(label, file);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

const char *const kMemo1Lines[] = {
    "",
    "Данная программа создана для производственно-",
    "технических служб строительных организаций",
    "",
    "В основу расчетов программы положены ",
    "расчетные коэффициенты из следующих ",
    "источников:",
    "",
    "Справочник инженера-строителя",
    "\"Расход материалов на общестроительные",
    "и отделочные работы\".",
    "Москва, Стройиздат.",
};

} // namespace

QWidget *createHomePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    picture(QStringLiteral("Image8"), QStringLiteral(":/home.jpg"), QRect(4, 4, 329, 529), page);

    auto *build = new QLabel(QStringLiteral("Сборка 3.1"), page);
    build->setObjectName(QStringLiteral("Label16"));
    build->setAttribute(Qt::WA_TranslucentBackground);
    // The label lies on the light title picture, whatever the colours of the desktop.
    QPalette onPicture = build->palette();
    onPicture.setColor(QPalette::WindowText, Qt::black);
    build->setPalette(onPicture);
    build->adjustSize();
    build->move(337 - 12 - build->width(), 10);

    // The text box is editable on purpose: a note typed here is the user's own and is not kept.
    auto *memo = new QTextEdit(page);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setGeometry(24, 320, 281, 185);
    memo->setFrameShape(QFrame::NoFrame);
    // White under the picture's frame in every theme, so its text is set to black with it.
    memo->setStyleSheet(QStringLiteral("QTextEdit { background: white; color: black; }"));
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // All lines in one edit, so that the text is laid out once rather than once a line.
    QTextCursor cursor(memo->document());
    cursor.beginEditBlock();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    bool first = true;
    for (const char *line : kMemo1Lines) {
        if (!first)
            cursor.insertBlock(centred);
        first = false;
        cursor.insertText(QString::fromUtf8(line));
    }
    cursor.endEditBlock();
    return page;
}

QWidget *createOverviewPage(QLabel **title)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet6"));
    // Later pictures lie over earlier ones, as a collage.
    picture(QStringLiteral("Image4"), QStringLiteral(":/overview1.jpg"), {8, 8, 200, 150}, page);
    picture(QStringLiteral("Image6"), QStringLiteral(":/overview2.jpg"), {120, 32, 200, 150}, page);
    picture(QStringLiteral("Image2"), QStringLiteral(":/overview3.jpg"), {32, 104, 200, 150}, page);
    picture(QStringLiteral("Image3"), QStringLiteral(":/overview4.jpg"), {104, 192, 200, 150},
            page);
    picture(QStringLiteral("Image5"), QStringLiteral(":/overview5.jpg"), {8, 264, 200, 150}, page);
    picture(QStringLiteral("Image7"), QStringLiteral(":/overview6.jpg"), {152, 352, 150, 113},
            page);

    auto *heading = new QLabel(QStringLiteral("Раздел программы:"), page);
    heading->setObjectName(QStringLiteral("Label75"));
    heading->move(24, 472);

    auto *section = new QLabel(page);
    section->setObjectName(QStringLiteral("Label76"));
    QFont font = section->font();
    font.setBold(true);
    font.setPixelSize(16);
    section->setFont(font);
    section->setGeometry(24, 488, 300, 22);
    *title = section;
    return page;
}

} // namespace shellpages
