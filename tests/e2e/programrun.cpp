#include "programrun.h"

#include "childprocess.h"
#include "shell/catalogue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QPalette>
#include <QThread>

namespace {

const QString kMainTitle = QStringLiteral("Мерилон 3");
const QString kErrorTitle = QStringLiteral("Merilon");
// The bill's window is titled after its file, or «Новая ведомость», with a mark of changes.
const QString kBillTitle = QStringLiteral("… — Ведомость материалов — Мерилон 3");
const QString kNormsTitle = QStringLiteral("Нормы — Мерилон 3");
constexpr int kPatienceMs = 20000;
// A shortcut presses its button with a short animation: the click comes about 100 ms later.
constexpr int kShortcutAnimationMs = 300;
// The clock ticks first one second after the window is made, which is before it is shown.
constexpr int kFirstTickMs = 1300;
constexpr int kRedrawMs = 100;

} // namespace

ProgramRun::ProgramRun(VirtualScreen &screen, LayoutModel &layout)
    : m_screen(screen), m_layout(layout)
{
}

ProgramRun::~ProgramRun()
{
    stopChild(m_process);
}

bool ProgramRun::start(const QString &program, const QString &workFolder,
                       const QProcessEnvironment &environment)
{
    QProcessEnvironment childEnvironment = environment;
    childEnvironment.insert(QStringLiteral("DISPLAY"), m_screen.displayName());
    childEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(childEnvironment);
    m_process.setProgram(program);
    // What the program prints goes to the test's output; an unread pipe could block it.
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    if (!workFolder.isEmpty())
        m_process.setWorkingDirectory(workFolder);
    endWithParent(m_process);
    m_startedAt = QDateTime::currentDateTime();
    m_process.start();
    if (!m_process.waitForStarted(kPatienceMs)) {
        m_failure = program + QStringLiteral(" did not start: ") + m_process.errorString();
        return false;
    }
    m_window = m_screen.waitForWindow(kMainTitle);
    if (!m_window || !m_screen.sync(m_window)) {
        m_failure = QStringLiteral("no window titled ") + kMainTitle;
        return false;
    }
    // A window manager would give the new window the keyboard.
    m_screen.focus(m_window);
    m_sinceShown.start();
    return m_screen.sync(m_window);
}

bool ProgramRun::isRunning() const
{
    return m_process.state() == QProcess::Running && m_screen.isShown(m_window);
}

QPoint ProgramRun::onScreen(const QPoint &inWindow) const
{
    return m_screen.geometry(m_window).topLeft() + inWindow;
}

bool ProgramRun::settle()
{
    if (!m_screen.sync(m_window))
        return false;
    QThread::msleep(kShortcutAnimationMs);
    return m_screen.sync(m_window);
}

void ProgramRun::clickNode(int place, unsigned button)
{
    m_screen.click(onScreen(m_layout.node(place)), button);
    m_layout.nodeSelected(place);
}

void ProgramRun::clickExpandButton(int place)
{
    m_screen.click(onScreen(m_layout.expandButton(place)));
    m_layout.branchToggled(place);
}

void ProgramRun::click(const QString &name)
{
    m_screen.click(onScreen(m_layout.centre(name)));
}

void ProgramRun::back()
{
    click(QStringLiteral("ToolButton8"));
    const int place = m_layout.selectedPlace();
    if (place > 0)
        m_layout.nodeSelected(place - 1);
}

void ProgramRun::forward()
{
    click(QStringLiteral("ToolButton9"));
    const int place = m_layout.selectedPlace();
    if (place >= 0 && place + 1 < Catalogue::kPlaceCount)
        m_layout.nodeSelected(place + 1);
}

void ProgramRun::type(const QString &field, const QString &text)
{
    click(field);
    m_screen.press(QStringLiteral("ctrl+a"));
    m_screen.press(QStringLiteral("BackSpace"));
    m_screen.type(text);
}

void ProgramRun::pickVariant(const QString &list, int index)
{
    m_screen.click(onScreen(m_layout.radioCircle(QStringLiteral("%1_%2").arg(list).arg(index))));
}

void ProgramRun::pressAccelerator(QChar letter)
{
    m_screen.press(QStringLiteral("alt+") + letter.toLower());
    settle();
}

void ProgramRun::press(const QString &keys)
{
    m_screen.press(keys);
    settle();
}

bool ProgramRun::billFileDialog(const QString &shortcut, const QString &dialogTitle,
                                const QString &path)
{
    m_screen.press(QStringLiteral("ctrl+b"));
    const VirtualScreen::Window bill = m_screen.waitForWindow(kBillTitle);
    if (!bill) {
        m_failure = QStringLiteral("no window titled ") + kBillTitle;
        return false;
    }
    m_screen.focus(bill);
    m_screen.sync(bill);
    m_screen.press(shortcut);
    const VirtualScreen::Window dialog = m_screen.waitForWindow(dialogTitle);
    if (!dialog) {
        m_failure = QStringLiteral("no file dialog titled ") + dialogTitle;
        return false;
    }
    // The file name field has the keyboard when the dialog opens.
    m_screen.focus(dialog);
    m_screen.sync(dialog);
    m_screen.press(QStringLiteral("ctrl+a"));
    m_screen.type(path);
    m_screen.press(QStringLiteral("Return"));
    if (!m_screen.waitUntilHidden(dialog)) {
        m_failure = QStringLiteral("the file dialog did not close");
        return false;
    }
    m_screen.sync(bill);
    m_screen.focus(m_window);
    return m_screen.sync(m_window);
}

bool ProgramRun::saveBill(const QString &path)
{
    return billFileDialog(QStringLiteral("ctrl+shift+s"), QStringLiteral("Сохранить ведомость как"),
                          path);
}

bool ProgramRun::openBill(const QString &path)
{
    return billFileDialog(QStringLiteral("ctrl+o"), QStringLiteral("Открыть ведомость"), path);
}

bool ProgramRun::closeBill()
{
    const QList<VirtualScreen::Window> shown = m_screen.windows(kBillTitle);
    if (shown.isEmpty()) {
        m_failure = QStringLiteral("no window titled ") + kBillTitle;
        return false;
    }
    m_screen.focus(shown.front());
    m_screen.press(QStringLiteral("ctrl+w"));
    if (!m_screen.waitUntilHidden(shown.front())) {
        m_failure = QStringLiteral("the bill's window did not close");
        return false;
    }
    m_screen.focus(m_window);
    return m_screen.sync(m_window);
}

QImage ProgramRun::steadyPicture(VirtualScreen::Window window)
{
    QImage previous, current;
    QDeadlineTimer deadline(kPatienceMs);
    do {
        m_screen.sync(window);
        QThread::msleep(kRedrawMs);
        previous = current;
        current = m_screen.grab(m_screen.geometry(window));
    } while (current != previous && !deadline.hasExpired());
    return current;
}

bool ProgramRun::waitForChange(VirtualScreen::Window window, const QImage &before, int pixels)
{
    const auto changed = [&](const QImage &now) {
        if (now.size() != before.size())
            return true;
        int differing = 0;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != before.pixel(x, y) && ++differing >= pixels)
                    return true;
        return false;
    };
    QDeadlineTimer deadline(kPatienceMs);
    do {
        m_screen.sync(window);
        if (changed(m_screen.grab(m_screen.geometry(window))))
            return true;
        QThread::msleep(kRedrawMs);
    } while (!deadline.hasExpired());
    return false;
}

bool ProgramRun::waitForNotice(VirtualScreen::Window window)
{
    // The notice has a tooltip's colours, which nothing else of the program's windows has.
    const QRgb noticeColour = QPalette().color(QPalette::ToolTipBase).rgb();
    constexpr int kNoticePixels = 3000;
    QDeadlineTimer deadline(kPatienceMs);
    do {
        m_screen.sync(window);
        const QImage shown = m_screen.grab(m_screen.geometry(window));
        int coloured = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) == noticeColour && ++coloured >= kNoticePixels)
                    return true;
        QThread::msleep(kRedrawMs);
    } while (!deadline.hasExpired());
    return false;
}

bool ProgramRun::stepFailed(const QString &step)
{
    m_failure = step;
    return false;
}

bool ProgramRun::computeNormAndAdd(const QString &search, const QString &volume)
{
    // Each step waits for what the next one needs, so that a busy machine only slows the run.
    // A row of the list, the norm's details, the computed amounts are far more than a text
    // cursor.
    constexpr int kShownPixels = 300;
    m_screen.press(QStringLiteral("ctrl+f"));
    const VirtualScreen::Window norms = m_screen.waitForWindow(kNormsTitle);
    if (!norms)
        return stepFailed(QStringLiteral("no window titled ") + kNormsTitle);
    m_screen.focus(norms);
    const QImage empty = steadyPicture(norms);
    m_screen.type(search);
    if (!waitForChange(norms, empty, kShownPixels))
        return stepFailed(QStringLiteral("the norm window listed nothing for «%1»").arg(search));
    const QImage listed = steadyPicture(norms);
    m_screen.press(QStringLiteral("Down"));
    if (!waitForChange(norms, listed, kShownPixels))
        return stepFailed(QStringLiteral("Down did not show the first norm found"));
    // The accelerator is matched on the layout the program sees when it takes the key: the
    // volume's digits switch it back to the Latin one only after that.
    m_screen.press(QStringLiteral("alt+о"));
    const QImage shown = steadyPicture(norms);
    m_screen.type(volume);
    m_screen.press(QStringLiteral("Return"));
    if (!waitForChange(norms, shown, kShownPixels))
        return stepFailed(QStringLiteral("Enter in the volume computed no amounts"));
    // The notice of the add shows over the window the add was made in.
    m_screen.press(QStringLiteral("ctrl+d"));
    if (!waitForNotice(norms))
        return stepFailed(QStringLiteral("Ctrl+D showed no notice of the add to the bill"));
    m_screen.press(QStringLiteral("ctrl+w"));
    if (!m_screen.waitUntilHidden(norms))
        return stepFailed(QStringLiteral("the norm window did not close on Ctrl+W"));
    m_screen.focus(m_window);
    return m_screen.sync(m_window);
}

QString ProgramRun::billTitle() const
{
    const QList<VirtualScreen::Window> shown = m_screen.windows(kBillTitle);
    return shown.isEmpty() ? QString() : m_screen.title(shown.front());
}

bool ProgramRun::kill()
{
    m_process.kill();
    return m_process.waitForFinished(kPatienceMs);
}

bool ProgramRun::restoreBill()
{
    const VirtualScreen::Window question = m_screen.waitForWindow(kErrorTitle);
    if (!question) {
        m_failure = QStringLiteral("no offer to restore the bill");
        return false;
    }
    m_screen.focus(question);
    m_screen.sync(question);
    m_screen.press(QStringLiteral("Return"));
    if (!m_screen.waitUntilHidden(question) || !m_screen.waitForWindow(kBillTitle)) {
        m_failure = QStringLiteral("the restored bill did not show");
        return false;
    }
    m_screen.focus(m_window);
    return m_screen.sync(m_window);
}

bool ProgramRun::dismissError(const QString &shownMessage)
{
    if (!m_screen.sync(m_window)) {
        m_failure = QStringLiteral("the program stopped answering");
        return false;
    }
    const VirtualScreen::Window box = m_screen.waitForWindow(kErrorTitle);
    if (!box) {
        m_failure = QStringLiteral("no error report titled ") + kErrorTitle;
        return false;
    }
    // The icon and the message are compared; the box is drawn shortly after it appears.
    const LayoutModel::Box expected = m_layout.errorBox(shownMessage);
    const QRect message(0, 0, expected.picture.width(), expected.messageHeight);
    const QImage expectedMessage =
        expected.picture.copy(message).convertToFormat(QImage::Format_RGB32);
    QImage shown;
    const auto matches = [&] {
        return shown.width() == message.width() && shown.height() >= message.height() &&
               shown.copy(message) == expectedMessage;
    };
    QDeadlineTimer deadline(kPatienceMs);
    do {
        m_screen.sync(box);
        shown = m_screen.grab(m_screen.geometry(box));
    } while (!matches() && !deadline.hasExpired());
    if (!matches()) {
        expected.picture.save(QStringLiteral("expected-error-box.png"));
        shown.save(QStringLiteral("shown-error-box.png"));
        m_failure = QStringLiteral("the error report does not show «") + shownMessage +
                    QStringLiteral("» (see shown-error-box.png, expected-error-box.png)");
        return false;
    }
    m_screen.press(QStringLiteral("Return"));
    if (!m_screen.waitUntilHidden(box)) {
        m_failure = QStringLiteral("the error report did not close");
        return false;
    }
    // There is no window manager to give the keyboard back to the window.
    m_screen.focus(m_window);
    return m_screen.sync(m_window);
}

QImage ProgramRun::screenshot()
{
    // Off the window, the pointer leaves no hover mark and raises no tip.
    m_screen.movePointer(QPoint(0, 0));
    QImage previous, current;
    QDeadlineTimer deadline(kPatienceMs);
    // Drawing follows the events a little later; two equal pictures apart mean it is done.
    do {
        m_screen.sync(m_window);
        QThread::msleep(kRedrawMs);
        previous = current;
        current = m_screen.grab(m_screen.geometry(m_window));
    } while (current != previous && !deadline.hasExpired());
    return current;
}

void ProgramRun::keepScreenshot(const QString &fileName)
{
    const QString folder = qEnvironmentVariable("MERILON_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    screenshot().save(folder + u'/' + fileName);
}

void ProgramRun::waitForClock()
{
    if (m_sinceShown.elapsed() < kFirstTickMs)
        QThread::msleep(kFirstTickMs - m_sinceShown.elapsed());
    m_screen.sync(m_window);
}

void ProgramRun::saveOnRequest()
{
    waitForClock();
    click(QStringLiteral("ToolButton4"));
    m_screen.sync(m_window);
}

bool ProgramRun::exit()
{
    waitForClock();
    click(QStringLiteral("ToolButton16"));
    if (!m_process.waitForFinished(kPatienceMs)) {
        m_failure = QStringLiteral("the program did not end on «Выход»");
        return false;
    }
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        m_failure = QStringLiteral("the program ended with status %1").arg(m_process.exitCode());
        return false;
    }
    return true;
}

bool ProgramRun::answerCloseQuestion(const QStringList &keys)
{
    const VirtualScreen::Window question = m_screen.waitForWindow(kErrorTitle);
    if (!question) {
        m_failure = QStringLiteral("no question whether to close without saving");
        return false;
    }
    // No window manager gives the new box the keyboard.
    m_screen.sync(question);
    m_screen.focus(question);
    m_screen.sync(question);
    for (const QString &key : keys)
        m_screen.press(key);
    if (!m_screen.waitUntilHidden(question)) {
        m_failure = QStringLiteral("the question did not close");
        return false;
    }
    return true;
}

bool ProgramRun::exitRefused(const QString &shownMessage)
{
    waitForClock();
    click(QStringLiteral("ToolButton16"));
    // The question after the report is answered with its default, "Отмена".
    if (!dismissError(shownMessage) || !answerCloseQuestion({QStringLiteral("Return")}))
        return false;
    m_screen.focus(m_window);
    m_screen.sync(m_window);
    if (!isRunning()) {
        m_failure = QStringLiteral("the window closed although the journal was not saved");
        return false;
    }
    return true;
}

bool ProgramRun::exitWithoutSaving(const QString &shownMessage)
{
    waitForClock();
    click(QStringLiteral("ToolButton16"));
    // From the default "Отмена" the other button is one Tab away; Space presses it.
    if (!dismissError(shownMessage) ||
        !answerCloseQuestion({QStringLiteral("Tab"), QStringLiteral("space")}))
        return false;
    if (!m_process.waitForFinished(kPatienceMs)) {
        m_failure = QStringLiteral("the program did not end on «Закрыть без сохранения»");
        return false;
    }
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        m_failure = QStringLiteral("the program ended with status %1").arg(m_process.exitCode());
        return false;
    }
    return true;
}
