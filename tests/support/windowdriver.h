#pragma once

#include "shell/tform1.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

// Builds a fresh main window in a fresh working folder and drives it as a user would: with
// mouse clicks and keys on the real widgets, found by their names.
class WindowDriver
{
public:
    WindowDriver();
    ~WindowDriver();

    TForm1 &window() { return *m_window; }

    template <typename T = QWidget> T *widget(const QString &name) const
    {
        T *found = m_window->findChild<T *>(name);
        if (!found)
            qFatal("no widget named %s", qPrintable(name));
        return found;
    }

    QStringList journal() const;
    // The journal lines appended since the window was made, or since the last call.
    QStringList newJournalLines();

    void clickNode(int place);
    void clickTreeViewport(const QPoint &position);
    void click(const QString &name);
    void click(QWidget *widget);
    void type(const QString &fieldName, const QString &text);
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Alt with a letter, as the keyboard of the window sends it.
    void pressAccelerator(QChar letter);
    void pickVariant(const QString &listName, int index);

    QWidget *visiblePage() const;
    QString text(const QString &labelName) const;
    bool shown(const QString &name) const;

    // Working folder of this window; "data" inside it exists unless removed.
    QString workFolder() const;

private:
    struct Folder;
    std::unique_ptr<Folder> m_folder;
    std::unique_ptr<TForm1> m_window;
    qsizetype m_seenLines = 0;
};
