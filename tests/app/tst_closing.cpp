#include "common/errorreport.h"
#include "errorrecorder.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kQuestion =
    QStringLiteral("Журнал не сохранен. Закрыть программу без сохранения журнала?");

} // namespace

// Closing when the journal cannot be saved: the failure is reported, then the user decides.
class ClosingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failedSaveAsksAndCancelKeepsTheWindow();
    void failedSaveAsksAndGoingAheadCloses();
    void savedJournalClosesWithoutAsking();
    void questionBoxDefaultsToCancel();

private:
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
};

void ClosingTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
    m_driver->window().show();
}

void ClosingTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void ClosingTest::failedSaveAsksAndCancelKeepsTheWindow()
{
    QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
    m_driver->click(QStringLiteral("ToolButton16"));
    QVERIFY(m_driver->window().isVisible());
    QCOMPARE(m_errors->messages(), QStringList{QStringLiteral("Invalid filename.")});
    QCOMPARE(m_errors->questions(), QStringList{kQuestion});
    // Each failed close asks once more.
    m_driver->click(QStringLiteral("ToolButton16"));
    QCOMPARE(m_errors->questions(), (QStringList{kQuestion, kQuestion}));
    QVERIFY(m_driver->window().isVisible());
}

void ClosingTest::failedSaveAsksAndGoingAheadCloses()
{
    QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
    m_errors->answerQuestionsGoAhead(true);
    m_driver->click(QStringLiteral("ToolButton16"));
    QCOMPARE(m_errors->messages(), QStringList{QStringLiteral("Invalid filename.")});
    QCOMPARE(m_errors->questions(), QStringList{kQuestion});
    QVERIFY(!m_driver->window().isVisible());
    QVERIFY(!QFile::exists(QStringLiteral("data/history.txt")));
}

void ClosingTest::savedJournalClosesWithoutAsking()
{
    m_errors->answerQuestionsGoAhead(false);
    m_driver->click(QStringLiteral("ToolButton16"));
    QCOMPARE(m_errors->questions(), QStringList());
    QVERIFY(!m_driver->window().isVisible());
    QVERIFY(QFile::exists(QStringLiteral("data/history.txt")));
}

// The one test of the real question box.
void ClosingTest::questionBoxDefaultsToCancel()
{
    m_errors.reset();
    m_errors = std::make_unique<ErrorRecorder>();
    errorreport::setQuestionHandler({});
    QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
    QString title, text;
    QStringList buttons;
    QString defaultButton;
    m_driver->modals().expect([&](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        for (QAbstractButton *button : box->buttons())
            buttons.append(button->text());
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    m_driver->click(QStringLiteral("ToolButton16"));
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(title, QStringLiteral("Merilon"));
    QCOMPARE(text, kQuestion);
    buttons.sort();
    QCOMPARE(buttons,
             (QStringList{QStringLiteral("Закрыть без сохранения"), QStringLiteral("Отмена")}));
    QCOMPARE(defaultButton, QStringLiteral("Отмена"));
    QVERIFY(m_driver->window().isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(ClosingTest)
#include "tst_closing.moc"
