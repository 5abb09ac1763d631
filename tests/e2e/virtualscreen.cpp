#include "virtualscreen.h"

#include "childprocess.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QTest>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <functional>
#include <poll.h>
#include <xkbcommon/xkbcommon.h>

namespace {

constexpr int kPatienceMs = 20000;
constexpr int kPollMs = 20;
// Between two keys, as a fast typist; between two clicks on one spot, longer than a double click.
constexpr int kKeyGapMs = 8;
constexpr int kClickGapMs = 600;

// A window may vanish between listing and asking about it; that is an answer, not a failure.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

bool waitUntil(const std::function<bool()> &condition)
{
    QDeadlineTimer deadline(kPatienceMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kPollMs);
    }
    return true;
}

} // namespace

VirtualScreen::VirtualScreen()
{
    XSetErrorHandler(ignoreXError);
    if (!startServer())
        return;
    m_display = XOpenDisplay(m_displayName.toLatin1().constData());
    if (!m_display) {
        m_failure = QStringLiteral("cannot connect to ") + m_displayName;
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor)) {
        m_failure = QStringLiteral("the X server has no XTEST extension");
        return;
    }
    // The program answers pings on the root window.
    XSelectInput(m_display, DefaultRootWindow(m_display), StructureNotifyMask);
    XSync(m_display, False);
}

VirtualScreen::~VirtualScreen()
{
    if (m_display)
        XCloseDisplay(m_display);
    stopChild(m_server);
}

bool VirtualScreen::startServer()
{
    // The server writes the display number it found free to the descriptor named here.
    m_server.setProgram(QStringLiteral("Xvfb"));
    // Without -noreset the server would forget the keyboard layout whenever its last client
    // leaves, as setxkbmap does.
    m_server.setArguments(
        {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    // Its warnings, of keysyms the keymap compiler skips, would only bury the test's output.
    m_server.setStandardErrorFile(QProcess::nullDevice());
    endWithParent(m_server);
    m_server.start();
    QDeadlineTimer deadline(kPatienceMs);
    QByteArray number;
    while (!number.contains('\n') && !deadline.hasExpired() &&
           m_server.state() != QProcess::NotRunning) {
        m_server.waitForReadyRead(kPollMs * 5);
        number += m_server.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        m_failure = QStringLiteral("Xvfb did not start: ") + m_server.errorString();
        return false;
    }
    m_displayName = u':' + QString::fromLatin1(number.trimmed());
    const int layout = QProcess::execute(QStringLiteral("setxkbmap"),
                                         {"-display", m_displayName, "-layout", "us,ru"});
    if (layout != 0) {
        m_failure = QStringLiteral("setxkbmap failed");
        return false;
    }
    return true;
}

QString VirtualScreen::title(Window window) const
{
    const Atom name = XInternAtom(m_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QString text;
    if (XGetWindowProperty(m_display, window, name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(count));
        XFree(data);
    }
    return text;
}

bool VirtualScreen::isShown(Window window) const
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(m_display, window, &attributes) &&
           attributes.map_state == IsViewable;
}

QList<VirtualScreen::Window> VirtualScreen::windows(const QString &wanted) const
{
    QList<Window> found;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return found;
    const bool ending = wanted.startsWith(u'…');
    for (unsigned int i = 0; i < count; ++i) {
        if (!isShown(children[i]))
            continue;
        const QString shown = title(children[i]);
        if (ending ? shown.endsWith(wanted.mid(1)) : shown == wanted)
            found.append(children[i]);
    }
    if (children)
        XFree(children);
    return found;
}

VirtualScreen::Window VirtualScreen::waitForWindow(const QString &wanted,
                                                   const QList<Window> &except) const
{
    Window window = 0;
    waitUntil([&] {
        for (Window candidate : windows(wanted)) {
            if (!except.contains(candidate))
                window = candidate;
        }
        return window != 0;
    });
    return window;
}

bool VirtualScreen::waitUntilHidden(Window window) const
{
    return waitUntil([&] { return !isShown(window); });
}

QRect VirtualScreen::geometry(Window window) const
{
    XWindowAttributes attributes;
    ::Window child = 0;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(m_display, window, &attributes) ||
        !XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y,
                               &child))
        return {};
    return QRect(x, y, attributes.width, attributes.height);
}

void VirtualScreen::focus(Window window)
{
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

void VirtualScreen::movePointer(const QPoint &at)
{
    XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
    XSync(m_display, False);
}

void VirtualScreen::click(const QPoint &at, unsigned button)
{
    // A second click on the same spot must not become a double click.
    if (m_sinceClick.isValid() && (at - m_lastClick).manhattanLength() < 10 &&
        m_sinceClick.elapsed() < kClickGapMs)
        QThread::msleep(kClickGapMs - m_sinceClick.elapsed());
    movePointer(at);
    XTestFakeButtonEvent(m_display, button, True, CurrentTime);
    XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    XSync(m_display, False);
    m_lastClick = at;
    m_sinceClick.start();
}

VirtualScreen::KeyPlace VirtualScreen::placeOf(unsigned long keysym) const
{
    XkbDescPtr keyboard = XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    KeyPlace place;
    if (!keyboard)
        return place;
    // The first layout wins, so Latin letters, digits and punctuation never switch layouts.
    for (int group = 0; group < XkbNumKbdGroups && !place.code; ++group) {
        for (int code = keyboard->min_key_code; code <= keyboard->max_key_code; ++code) {
            if (group >= XkbKeyNumGroups(keyboard, code))
                continue;
            const int levels = std::min(2, int(XkbKeyGroupWidth(keyboard, code, group)));
            for (int level = 0; level < levels && !place.code; ++level) {
                if (XkbKeySymEntry(keyboard, code, level, group) == keysym)
                    place = {static_cast<unsigned char>(code), group, level == 1};
            }
            if (place.code)
                break;
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return place;
}

void VirtualScreen::tapKey(const KeyPlace &key, const QList<unsigned char> &modifiers)
{
    // The layout stays until a key needs another, as a user leaves it: the program reads the
    // layout again when it matches a shortcut, which may be after the key was sent.
    if (key.group != m_group) {
        XkbLockGroup(m_display, XkbUseCoreKbd, key.group);
        m_group = key.group;
    }
    QList<unsigned char> held = modifiers;
    if (key.shifted)
        held.append(XKeysymToKeycode(m_display, XK_Shift_L));
    for (unsigned char modifier : held)
        XTestFakeKeyEvent(m_display, modifier, True, CurrentTime);
    XTestFakeKeyEvent(m_display, key.code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, key.code, False, CurrentTime);
    for (auto it = held.crbegin(); it != held.crend(); ++it)
        XTestFakeKeyEvent(m_display, *it, False, CurrentTime);
    XSync(m_display, False);
    QThread::msleep(kKeyGapMs);
}

void VirtualScreen::press(const QString &keys)
{
    static const QHash<QString, unsigned long> modifierKeys{
        {"alt", XK_Alt_L}, {"ctrl", XK_Control_L}, {"shift", XK_Shift_L}};
    QStringList parts = keys.split(u'+');
    const QString last = parts.takeLast();
    QList<unsigned char> modifiers;
    for (const QString &part : parts)
        modifiers.append(XKeysymToKeycode(m_display, modifierKeys.value(part)));
    const unsigned long keysym = last.size() == 1 ? xkb_utf32_to_keysym(last.at(0).unicode())
                                                  : XStringToKeysym(last.toLatin1().constData());
    const KeyPlace key = placeOf(keysym);
    if (!key.code || modifiers.contains(0)) {
        QTest::qFail(qPrintable(QStringLiteral("no key for ") + keys), __FILE__, __LINE__);
        return;
    }
    tapKey(key, modifiers);
}

void VirtualScreen::type(const QString &text)
{
    for (const QChar letter : text) {
        const KeyPlace key = placeOf(xkb_utf32_to_keysym(letter.unicode()));
        if (!key.code) {
            QTest::qFail(qPrintable(QStringLiteral("no key types ") + letter), __FILE__, __LINE__);
            return;
        }
        tapKey(key, {});
    }
}

bool VirtualScreen::sync(Window window)
{
    const Atom protocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(m_display, "_NET_WM_PING", False);
    // Twice: events the program has read on one round reach its widgets on the next.
    for (int round = 0; round < 2; ++round) {
        const long serial = ++m_pingSerial;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(ping);
        event.xclient.data.l[1] = serial;
        event.xclient.data.l[2] = long(window);
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XFlush(m_display);
        const bool answered = waitUntil([&] {
            while (XPending(m_display)) {
                XEvent reply;
                XNextEvent(m_display, &reply);
                if (reply.type == ClientMessage && Atom(reply.xclient.data.l[0]) == ping &&
                    reply.xclient.data.l[1] == serial)
                    return true;
            }
            pollfd connection{ConnectionNumber(m_display), POLLIN, 0};
            ::poll(&connection, 1, kPollMs);
            return false;
        });
        if (!answered)
            return false;
    }
    return true;
}

QImage VirtualScreen::grab(const QRect &area) const
{
    const QRect screen(0, 0, DisplayWidth(m_display, DefaultScreen(m_display)),
                       DisplayHeight(m_display, DefaultScreen(m_display)));
    const QRect part = area.intersected(screen);
    if (part.isEmpty())
        return {};
    XImage *image = XGetImage(m_display, DefaultRootWindow(m_display), part.x(), part.y(),
                              unsigned(part.width()), unsigned(part.height()), AllPlanes, ZPixmap);
    if (!image)
        return {};
    // A 24-bit screen keeps each pixel in 32 bits, blue first: the layout of RGB32.
    const QImage picture = QImage(reinterpret_cast<const uchar *>(image->data), part.width(),
                                  part.height(), image->bytes_per_line, QImage::Format_RGB32)
                               .copy();
    XDestroyImage(image);
    return picture;
}
