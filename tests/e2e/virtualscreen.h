#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>

struct _XDisplay;

// A virtual X server of the test's own and a user's hands on it: pointer and keyboard events
// through the XTEST extension, as the server gets them from real devices. The server picks a
// free display itself, so runs side by side never meet. The keyboard has a US and a Russian
// layout, as a Russian user's has; Cyrillic letters are typed on the Russian one.
class VirtualScreen
{
public:
    using Window = unsigned long;

    VirtualScreen();
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen &) = delete;
    VirtualScreen &operator=(const VirtualScreen &) = delete;

    // Empty while the server runs and answers; otherwise what went wrong.
    const QString &failure() const { return m_failure; }
    const QString &displayName() const { return m_displayName; }

    // The shown top-level windows with this title, in the server's stacking order. A title that
    // begins with "…" matches every title that ends with the rest, such as a document window's
    // whose title starts with the document's name.
    QList<Window> windows(const QString &title) const;
    QString title(Window window) const;
    // Waits for a shown window with this title other than those in `except`; 0 on timeout.
    Window waitForWindow(const QString &title, const QList<Window> &except = {}) const;
    bool isShown(Window window) const;
    bool waitUntilHidden(Window window) const;
    QRect geometry(Window window) const;
    // Gives the keyboard to a window, as a window manager does when a window above it closes.
    void focus(Window window);

    // button 1 is the left, 2 the middle, 3 the right.
    void click(const QPoint &at, unsigned button = 1);
    void movePointer(const QPoint &at);
    // Keys as "Return", "ctrl+a" or "alt+р": modifiers, then a key name or one character.
    void press(const QString &keys);
    void type(const QString &text);

    // Returns once the program that owns the window has taken in every event sent before: the
    // window manager's ping is answered from the program's event queue, behind them.
    bool sync(Window window);

    QImage grab(const QRect &area) const;

private:
    struct KeyPlace
    {
        unsigned char code = 0;
        int group = 0;
        bool shifted = false;
    };

    bool startServer();
    KeyPlace placeOf(unsigned long keysym) const;
    void tapKey(const KeyPlace &key, const QList<unsigned char> &modifiers);

    QProcess m_server;
    QString m_displayName;
    QString m_failure;
    _XDisplay *m_display = nullptr;
    long m_pingSerial = 0;
    int m_group = 0;
    QPoint m_lastClick;
    QElapsedTimer m_sinceClick;
};
