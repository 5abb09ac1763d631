#pragma once

#include "modalwatchdog.h"
#include "shell/tform1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <type_traits>
#include <vector>

// Builds a fresh main window in a fresh working folder and drives it as a user would: with
// mouse clicks and keys on the real widgets, found by their names.
class WindowDriver
{
public:
    WindowDriver();
    ~WindowDriver();

    TForm1 &window() { return *m_window; }

    // A missing widget fails the running test with its name; the test goes on against a
    // stand-in of the same type, so one missing widget costs one test, not the whole run.
    template <typename T = QWidget> T *widget(const QString &name) const
    {
        if (T *found = m_window->findChild<T *>(name))
            return found;
        QTest::qFail(qPrintable(QStringLiteral("no widget named ") + name), __FILE__, __LINE__);
        return standIn<T>();
    }

    ModalWatchdog &modals() { return m_modals; }

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
    template <typename T> T *standIn() const
    {
        T *made = nullptr;
        if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>)
            made = new T;
        else if constexpr (std::is_base_of_v<T, QPushButton>)
            made = new QPushButton;
        m_standIns.emplace_back(made);
        return made;
    }

    ModalWatchdog m_modals;
    mutable std::vector<std::unique_ptr<QObject>> m_standIns;
    struct Folder;
    std::unique_ptr<Folder> m_folder;
    std::unique_ptr<TForm1> m_window;
    qsizetype m_seenLines = 0;
};
