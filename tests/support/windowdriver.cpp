#include "windowdriver.h"

#include "journal.h"
#include "shell/appsetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>

struct WindowDriver::Folder
{
    QString previous = QDir::currentPath();
    QTemporaryDir temporary;
};

WindowDriver::WindowDriver() : m_folder(std::make_unique<Folder>())
{
    setUpApplication();
    QDir(m_folder->temporary.path()).mkdir(QStringLiteral("data"));
    QDir::setCurrent(m_folder->temporary.path());
    m_window = std::make_unique<TForm1>();
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("main window did not become active");
    m_seenLines = m_window->journal().lines().size();
}

WindowDriver::~WindowDriver()
{
    m_window.reset();
    QDir::setCurrent(m_folder->previous);
}

QString WindowDriver::workFolder() const
{
    return m_folder->temporary.path();
}

QStringList WindowDriver::journal() const
{
    return m_window->journal().lines();
}

QStringList WindowDriver::newJournalLines()
{
    const QStringList &lines = m_window->journal().lines();
    const QStringList fresh = lines.mid(m_seenLines);
    m_seenLines = lines.size();
    return fresh;
}

void WindowDriver::clickNode(int place)
{
    Catalogue *tree = m_window->catalogue();
    QTreeWidgetItem *node = tree->node(place);
    for (QTreeWidgetItem *parent = node->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree->scrollToItem(node);
    const QRect area = tree->visualItemRect(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, area.center());
}

void WindowDriver::clickTreeViewport(const QPoint &position)
{
    QTest::mouseClick(m_window->catalogue()->viewport(), Qt::LeftButton, Qt::NoModifier, position);
}

void WindowDriver::click(const QString &name)
{
    click(widget(name));
}

void WindowDriver::click(QWidget *target)
{
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
}

void WindowDriver::type(const QString &fieldName, const QString &text)
{
    auto *field = widget<QLineEdit>(fieldName);
    click(field);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    // Test's own key table knows only Latin-1; other letters go as key events with their text.
    for (const QChar letter : text) {
        if (letter.unicode() < 0x80) {
            QTest::keyClick(field, letter.toLatin1());
            continue;
        }
        const auto key = Qt::Key(letter.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, field, key, QString(letter), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, key, QString(letter), Qt::NoModifier);
    }
}

void WindowDriver::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::focusWidget();
    QTest::keyClick(target ? target : m_window.get(), key, modifiers);
}

void WindowDriver::pressAccelerator(QChar letter)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = m_window.get();
    const auto key = Qt::Key(letter.toUpper().unicode());
    QTest::sendKeyEvent(QTest::Press, target, key, QString(letter), Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Release, target, key, QString(letter), Qt::AltModifier);
}

void WindowDriver::pickVariant(const QString &listName, int index)
{
    auto *button = widget<QAbstractButton>(QStringLiteral("%1_%2").arg(listName).arg(index));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

QWidget *WindowDriver::visiblePage() const
{
    return m_window->pageSet()->currentWidget();
}

QString WindowDriver::text(const QString &labelName) const
{
    return widget<QLabel>(labelName)->text();
}

bool WindowDriver::shown(const QString &name) const
{
    return widget(name)->isVisibleTo(m_window.get());
}
