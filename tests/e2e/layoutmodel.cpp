#include "layoutmodel.h"

#include "shell/appsetup.h"
#include "shell/tform1.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTest>

LayoutModel::LayoutModel()
{
    setUpApplication();
    m_window = std::make_unique<TForm1>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("the model window was not shown");
}

LayoutModel::~LayoutModel() = default;

QWidget *LayoutModel::broughtForward(const QString &name)
{
    auto *widget = m_window->findChild<QWidget *>(name);
    if (!widget)
        qFatal("no widget named %s", qPrintable(name));
    for (QWidget *page = widget; page; page = page->parentWidget()) {
        if (page->parentWidget() == m_window->pageSet()) {
            m_window->pageSet()->setCurrentWidget(page);
            break;
        }
    }
    // A page's layout settles when the page is first shown.
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return widget;
}

QPoint LayoutModel::centre(const QString &name)
{
    const QWidget *widget = broughtForward(name);
    return widget->mapTo(m_window.get(), widget->rect().center());
}

QPoint LayoutModel::radioCircle(const QString &name)
{
    const QWidget *widget = broughtForward(name);
    return widget->mapTo(m_window.get(), QPoint(6, widget->height() / 2));
}

QPoint LayoutModel::node(int place) const
{
    const Catalogue *tree = m_window->catalogue();
    const QRect row = tree->visualItemRect(tree->node(place));
    if (!row.isValid())
        QTest::qFail(qPrintable(QStringLiteral("node %1 is in a closed branch").arg(place)),
                     __FILE__, __LINE__);
    return tree->viewport()->mapTo(m_window.get(), row.center());
}

QPoint LayoutModel::expandButton(int place) const
{
    const Catalogue *tree = m_window->catalogue();
    const QRect row = tree->visualItemRect(tree->node(place));
    // The button stands in the indentation left of the row's text.
    const QPoint button(row.left() - tree->indentation() / 2, row.center().y());
    return tree->viewport()->mapTo(m_window.get(), button);
}

void LayoutModel::nodeSelected(int place)
{
    m_window->catalogue()->select(place);
}

void LayoutModel::branchToggled(int place)
{
    QTreeWidgetItem *branch = m_window->catalogue()->node(place);
    branch->setExpanded(!branch->isExpanded());
}

int LayoutModel::selectedPlace() const
{
    return m_window->catalogue()->selectedPlace();
}

LayoutModel::Box LayoutModel::errorBox(const QString &message) const
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message,
                    QMessageBox::Ok, m_window.get());
    box.show();
    QApplication::setActiveWindow(&box);
    if (!QTest::qWaitForWindowActive(&box))
        qWarning("the model error box did not become active");
    const auto *buttons = box.findChild<QDialogButtonBox *>();
    return {box.grab().toImage(), buttons ? buttons->y() : box.height()};
}
