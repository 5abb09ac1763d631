#pragma once

#include "layoutmodel.h"
#include "virtualscreen.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>

// The program started as a user starts it, on the virtual screen in a working folder of the
// test's own, and driven only by pointer and keyboard events. Every step that the test checks
// afterwards waits until the program has taken its events in, so no step races the program.
class ProgramRun
{
public:
    ProgramRun(VirtualScreen &screen, LayoutModel &layout);
    ~ProgramRun();

    // Starts the program and waits for its main window. An empty folder leaves the working
    // folder to the program, as its launcher does.
    bool start(const QString &program, const QString &workFolder,
               const QProcessEnvironment &environment);
    const QString &failure() const { return m_failure; }
    const QDateTime &startedAt() const { return m_startedAt; }
    bool isRunning() const;

    void clickNode(int place, unsigned button = 1);
    void clickExpandButton(int place);
    void click(const QString &name);
    void back();
    void forward();
    // Empties the field as a user does (a click, then select all and delete) and types.
    void type(const QString &field, const QString &text);
    void pickVariant(const QString &list, int index);
    // Alt with the underlined letter of a button, typed on the Russian layout.
    void pressAccelerator(QChar letter);

    // A shortcut of the main window, such as "ctrl+d".
    void press(const QString &keys);
    // Opens the bill's window with Ctrl+B, saves or opens its file through the file dialog, and
    // gives the keyboard back to the main window.
    bool saveBill(const QString &path);
    bool openBill(const QString &path);
    // Closes the bill's window with Ctrl+W, so that it covers nothing of the main window.
    bool closeBill();
    // The title of the bill's window, empty when it is not shown.
    QString billTitle() const;
    // Opens «Нормы» with Ctrl+F, types the search, goes on to the first norm found with Down,
    // types the volume after Alt+О, computes with Enter, adds to the bill with Ctrl+D and closes
    // the window with Ctrl+W, giving the keyboard back to the main window.
    bool computeNormAndAdd(const QString &search, const QString &volume);
    // Ends the program at once, as a crash or a power cut does.
    bool kill();
    // Answers the offer to restore a bill that a crash left with Enter, and waits for the bill.
    bool restoreBill();

    // Checks that the error report shows this message and closes it with Enter.
    bool dismissError(const QString &shownMessage);
    // The window as it stands, once the program has drawn everything asked of it so far.
    QImage screenshot();
    // Saves a screenshot under the given name when the test is asked for screenshots.
    void keepScreenshot(const QString &fileName);
    // Presses "История"; its line carries the clock's texts, so the clock has ticked first.
    void saveOnRequest();
    // Presses "Выход" and expects the program to end well.
    bool exit();
    // Presses "Выход", expects the error report, answers the question that follows with
    // "Отмена" and expects the window to stay.
    bool exitRefused(const QString &shownMessage);
    // The same, answered with "Закрыть без сохранения": the program ends.
    bool exitWithoutSaving(const QString &shownMessage);

private:
    QPoint onScreen(const QPoint &inWindow) const;
    bool settle();
    // The window's picture once two grabs a moment apart agree.
    QImage steadyPicture(VirtualScreen::Window window);
    // Waits, within the test's patience, until at least `pixels` pixels of the window differ
    // from the picture before: more than a blinking text cursor or a ticking clock change.
    bool waitForChange(VirtualScreen::Window window, const QImage &before, int pixels);
    // Waits until the bill's notice stands over the main window.
    bool waitForNotice(VirtualScreen::Window window);
    // Sets the failure to the step that did not happen; false.
    bool stepFailed(const QString &step);
    bool answerCloseQuestion(const QStringList &keys);
    void waitForClock();
    bool billFileDialog(const QString &shortcut, const QString &dialogTitle, const QString &path);

    VirtualScreen &m_screen;
    LayoutModel &m_layout;
    QProcess m_process;
    VirtualScreen::Window m_window = 0;
    QDateTime m_startedAt;
    QElapsedTimer m_sinceShown;
    QString m_failure;
};
