#include "clock.h"
#include "errorrecorder.h"
#include "journal.h"
#include "journalfile.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace {

const QString kWelcome = QStringLiteral("Добро пожаловать в программу \"Мерилон\"!");

QString nodeText(int place)
{
    return QString::fromUtf8(Catalogue::place(place).text);
}

} // namespace

// Receives the web addresses the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnHomePageWithWelcomeAndOneJournalLine();
    void clickShowsPageByPlace_data();
    void clickShowsPageByPlace();
    void clickOnMasonryNodeWritesThicknessAndOneLine();
    void keyboardMoveWritesTheSameThicknessAsAClick();
    void secondClickOnSelectedNodeRepeatsItsLine();
    void clickOnEmptyAreaActsOnSelectedNode();
    void clickOnExpandButtonActsOnSelectedNode();
    void withNothingSelectedClickBackAndForwardDoNothing();
    void backAndForwardMoveByPlace_data();
    void backAndForwardMoveByPlace();
    void backIntoCollapsedSectionExpandsIt();
    void selectingAnotherSectionCollapsesThePrevious();
    void homeKeepsSelectionAndStatus();
    void menuEntriesNavigate();
    void standardsButtonOpensThePortal();
    void saveOnRequestWritesTheDayFile();
    void saveOnRequestWithoutDataFolderReportsAndSkipsSecondLine();
    void closeWithoutDataFolderKeepsWindowOpen();
    void errorBoxIsTitledAndEndsWithFullStop();

private:
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void ShellTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void ShellTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void ShellTest::startsOnHomePageWithWelcomeAndOneJournalLine()
{
    TForm1 &window = m_driver->window();
    QCOMPARE(window.windowTitle(), QStringLiteral("Мерилон 3"));
    QCOMPARE(m_driver->journal(), QStringList{Journal::firstLine()});
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet3"));
    QCOMPARE(window.statusText(0), kWelcome);
    QVERIFY(window.statusText(1).startsWith(QStringLiteral("Текущее время: ")));
    QCOMPARE(window.catalogue()->selectedPlace(), -1);
    QCOMPARE(QApplication::focusWidget(), window.catalogue());
    QCOMPARE(window.catalogue()->topLevelItemCount(), 9);
    QCOMPARE(m_driver->widget(QStringLiteral("ToolButton4"))->toolTip(),
             QStringLiteral("Сохранить историю расчетов"));
    QCOMPARE(m_driver->widget(QStringLiteral("ToolButton5"))->toolTip(),
             QStringLiteral("Посетить магазин"));
    QCOMPARE(m_driver->widget(QStringLiteral("ToolButton16"))->cursor().shape(),
             Qt::PointingHandCursor);
    for (int i = 0; i < window.catalogue()->topLevelItemCount(); ++i)
        QVERIFY(!window.catalogue()->topLevelItem(i)->isExpanded());
}

void ShellTest::clickShowsPageByPlace_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    const char *const pages[Catalogue::kPlaceCount] = {
        "TabSheet3", "TabSheet6", "TabSheet1",  "TabSheet1", "TabSheet1", "TabSheet1", "TabSheet6",
        "TabSheet2", "TabSheet6", "TabSheet10", "TabSheet6", "TabSheet5", "TabSheet6", "TabSheet7",
        "TabSheet6", "TabSheet9", "TabSheet6",  "TabSheet4", "TabSheet3"};
    const QHash<int, QString> titles{{1, "Конструкции из кирпича"},
                                     {6, "Конструкции монолитные"},
                                     {8, "Конструкции из дерева"},
                                     {10, "Конструкции из металла"},
                                     {12, "Полы"},
                                     {14, "Наружные покрытия"},
                                     {16, "Благоустройство"}};
    for (int place = 0; place < Catalogue::kPlaceCount; ++place)
        QTest::addRow("place %d", place) << place << pages[place] << titles.value(place);
}

void ShellTest::clickShowsPageByPlace()
{
    QFETCH(int, place);
    QFETCH(QString, page);
    QFETCH(QString, title);
    m_driver->clickNode(place);
    QCOMPARE(m_driver->visiblePage()->objectName(), page);
    QCOMPARE(m_driver->window().statusText(0),
             QStringLiteral("Текущий расчет: ") + nodeText(place));
    if (!title.isEmpty())
        QCOMPARE(m_driver->text(QStringLiteral("Label76")), title);
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{QStringLiteral("Выбрано:  ") + nodeText(place)});
}

void ShellTest::clickOnMasonryNodeWritesThicknessAndOneLine()
{
    m_driver->clickNode(0);
    m_driver->newJournalLines();
    m_driver->clickNode(3);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet1"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,38"));
    QCOMPARE(m_driver->window().statusText(0),
             QStringLiteral("Текущий расчет: Кирпичная кладка 1,5 кирпича (380 мм.)"));
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{QStringLiteral("Выбрано:  Кирпичная кладка 1,5 кирпича (380 мм.)")});
}

// A node gives the same thickness however it is reached.
void ShellTest::keyboardMoveWritesTheSameThicknessAsAClick()
{
    m_driver->clickNode(2);
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,25"));
    m_driver->newJournalLines();
    const char *const expected[] = {"0,38", "0,51", "0,64"};
    for (const char *thickness : expected) {
        QTest::keyClick(m_driver->window().catalogue(), Qt::Key_Down);
        QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(),
                 QString::fromLatin1(thickness));
    }
    QCOMPARE(m_driver->window().catalogue()->selectedPlace(), 5);
    QCOMPARE(m_driver->window().statusText(0), QStringLiteral("Текущий расчет: ") + nodeText(5));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

void ShellTest::secondClickOnSelectedNodeRepeatsItsLine()
{
    m_driver->clickNode(11);
    m_driver->window().ToolButton1Click();
    m_driver->clickNode(11);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet5"));
    const QString line = QStringLiteral("Выбрано:  Окраска поверхности (сурик)");
    QCOMPARE(m_driver->newJournalLines(), (QStringList{line, line}));
}

void ShellTest::clickOnEmptyAreaActsOnSelectedNode()
{
    m_driver->clickNode(10);
    m_driver->window().ToolButton1Click();
    m_driver->newJournalLines();
    Catalogue *tree = m_driver->window().catalogue();
    m_driver->clickTreeViewport(QPoint(20, tree->viewport()->height() - 5));
    QCOMPARE(tree->selectedPlace(), 10);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet6"));
    QCOMPARE(m_driver->text(QStringLiteral("Label76")), QStringLiteral("Конструкции из металла"));
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{QStringLiteral("Выбрано:  Конструкции из металла")});
}

void ShellTest::clickOnExpandButtonActsOnSelectedNode()
{
    m_driver->clickNode(7);
    m_driver->newJournalLines();
    Catalogue *tree = m_driver->window().catalogue();
    const QRect section = tree->visualItemRect(tree->node(1));
    m_driver->clickTreeViewport(
        QPoint(section.left() - tree->indentation() / 2, section.center().y()));
    QVERIFY(tree->node(1)->isExpanded());
    QCOMPARE(tree->selectedPlace(), 7);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet2"));
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{QStringLiteral("Выбрано:  Фундаменты под здания и сооружения")});
}

void ShellTest::withNothingSelectedClickBackAndForwardDoNothing()
{
    Catalogue *tree = m_driver->window().catalogue();
    m_driver->clickTreeViewport(QPoint(20, tree->viewport()->height() - 5));
    m_driver->click(QStringLiteral("ToolButton8"));
    m_driver->click(QStringLiteral("ToolButton9"));
    QCOMPARE(tree->selectedPlace(), -1);
    QCOMPARE(m_driver->journal(), QStringList{Journal::firstLine()});
    QCOMPARE(m_driver->window().statusText(0), kWelcome);
}

void ShellTest::backAndForwardMoveByPlace_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("page");
    QTest::newRow("back from a masonry kind to its section")
        << 2 << "ToolButton8" << 1 << "TabSheet6";
    QTest::newRow("back at the first place stays") << 0 << "ToolButton8" << 0 << "TabSheet3";
    QTest::newRow("forward at the last place stays") << 18 << "ToolButton9" << 18 << "TabSheet3";
    QTest::newRow("forward from a section to its child")
        << 12 << "ToolButton9" << 13 << "TabSheet7";
    QTest::newRow("forward from a last child to the next section")
        << 15 << "ToolButton9" << 16 << "TabSheet6";
}

void ShellTest::backAndForwardMoveByPlace()
{
    QFETCH(int, from);
    QFETCH(QString, button);
    QFETCH(int, to);
    QFETCH(QString, page);
    m_driver->clickNode(from);
    m_driver->newJournalLines();
    m_driver->click(button);
    Catalogue *tree = m_driver->window().catalogue();
    QCOMPARE(tree->selectedPlace(), to);
    QCOMPARE(m_driver->visiblePage()->objectName(), page);
    QVERIFY(tree->hasFocus());
    QCOMPARE(m_driver->newJournalLines(),
             QStringList{QStringLiteral("Перемещение: ") + nodeText(to)});
}

void ShellTest::backIntoCollapsedSectionExpandsIt()
{
    m_driver->clickNode(6);
    Catalogue *tree = m_driver->window().catalogue();
    QVERIFY(!tree->node(1)->isExpanded());
    m_driver->click(QStringLiteral("ToolButton8"));
    QCOMPARE(tree->selectedPlace(), 5);
    QVERIFY(tree->node(1)->isExpanded());
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,64"));
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet1"));
}

void ShellTest::selectingAnotherSectionCollapsesThePrevious()
{
    Catalogue *tree = m_driver->window().catalogue();
    m_driver->clickNode(1);
    QVERIFY(tree->node(1)->isExpanded());
    m_driver->clickNode(3);
    QVERIFY(tree->node(1)->isExpanded());
    m_driver->clickNode(7);
    QVERIFY(!tree->node(1)->isExpanded());
    QVERIFY(tree->node(6)->isExpanded());
}

void ShellTest::homeKeepsSelectionAndStatus()
{
    m_driver->clickNode(9);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("ToolButton1"));
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet3"));
    QCOMPARE(m_driver->window().catalogue()->selectedPlace(), 9);
    QCOMPARE(m_driver->window().statusText(0), QStringLiteral("Текущий расчет: Устройство ворот"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->clickNode(9);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet10"));
}

void ShellTest::menuEntriesNavigate()
{
    m_driver->clickNode(3);
    m_driver->newJournalLines();
    m_driver->widget<QAction>(QStringLiteral("N7"))->trigger();
    QCOMPARE(m_driver->window().catalogue()->selectedPlace(), 4);
    m_driver->widget<QAction>(QStringLiteral("N8"))->trigger();
    m_driver->widget<QAction>(QStringLiteral("N8"))->trigger();
    QCOMPARE(m_driver->window().catalogue()->selectedPlace(), 2);
    m_driver->widget<QAction>(QStringLiteral("N13"))->trigger();
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet3"));
    QCOMPARE(m_driver->newJournalLines(),
             (QStringList{QStringLiteral("Перемещение: ") + nodeText(4),
                          QStringLiteral("Перемещение: ") + nodeText(3),
                          QStringLiteral("Перемещение: ") + nodeText(2)}));
}

void ShellTest::standardsButtonOpensThePortal()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    m_driver->click(QStringLiteral("ToolButton5"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.gost.ru"))});
    QCOMPARE(m_driver->journal(), QStringList{Journal::firstLine()});
}

void ShellTest::saveOnRequestWritesTheDayFile()
{
    Clock &clock = m_driver->window().clock();
    clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 6), QTime(10, 5, 7)); });
    clock.Timer1Timer();
    m_driver->clickNode(7);
    m_driver->click(QStringLiteral("ToolButton4"));

    const QStringList lines = m_driver->journal();
    QCOMPARE(lines.mid(lines.size() - 2),
             (QStringList{QStringLiteral("Сохранение по запросу.История расчетов сохранена. Дата "
                                         "06.12.2026 время сохранения: 10:05:07"),
                          QStringLiteral("Файл создан и сохранен в папке data/06.12.2026.txt")}));
    QFile file(QStringLiteral("data/06.12.2026.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), journalfile::encode(lines.mid(0, lines.size() - 1)));
    QCOMPARE(m_errors->messages(), QStringList());
}

void ShellTest::saveOnRequestWithoutDataFolderReportsAndSkipsSecondLine()
{
    QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
    m_driver->click(QStringLiteral("ToolButton4"));
    QCOMPARE(m_errors->messages(), QStringList{QStringLiteral("Invalid filename.")});
    const QStringList lines = m_driver->newJournalLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().startsWith(QStringLiteral("Сохранение по запросу.")));
}

void ShellTest::closeWithoutDataFolderKeepsWindowOpen()
{
    QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
    TForm1 &window = m_driver->window();
    m_driver->click(QStringLiteral("ToolButton16"));
    m_driver->widget<QAction>(QStringLiteral("N6"))->trigger();
    QVERIFY(window.isVisible());
    QCOMPARE(m_errors->messages(), (QStringList{QStringLiteral("Invalid filename."),
                                                QStringLiteral("Invalid filename.")}));
    const QStringList attempts = m_driver->newJournalLines();
    QCOMPARE(attempts.size(), 2);
    for (const QString &line : attempts)
        QVERIFY(line.startsWith(QStringLiteral("Текущая история расчетов сохранена. Дата ")));

    QVERIFY(QDir().mkdir(QStringLiteral("data")));
    m_driver->click(QStringLiteral("ToolButton16"));
    QVERIFY(!window.isVisible());
    QFile file(QStringLiteral("data/history.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), journalfile::encode(m_driver->journal()));
}

// The one test of the real box: every other test records reports instead.
void ShellTest::errorBoxIsTitledAndEndsWithFullStop()
{
    m_errors.reset();
    QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    m_driver->modals().expect([&](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        QCOMPARE(box->buttons().size(), 1);
        QTest::keyClick(box, Qt::Key_Return);
    });
    m_driver->click(QStringLiteral("ToolButton4"));
    QCOMPARE(title, QStringLiteral("Merilon"));
    QCOMPARE(text, QStringLiteral("Invalid filename."));
    QCOMPARE(icon, QMessageBox::Critical);
    QVERIFY(m_driver->modals().expectationMet());
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
