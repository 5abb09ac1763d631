#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

#include <memory>

class TForm1;

// Where the widgets of the real window are. The window places them by fixed geometry and by
// layouts of its own code, so the same window built off screen in this process, with the same
// font and style, puts every widget at the same spot relative to its top-left corner. Its
// catalogue is kept in step with the real one: it is told which node the real one selected and
// which branch it opened or closed, since rows below move when a branch does.
class LayoutModel
{
public:
    LayoutModel();
    ~LayoutModel();

    // Points in window coordinates; a widget's page is brought forward first.
    QPoint centre(const QString &name);
    // A radio button answers a click on its circle and caption, not on the rest of its row.
    QPoint radioCircle(const QString &name);
    QPoint node(int place) const;
    QPoint expandButton(int place) const;

    void nodeSelected(int place);
    void branchToggled(int place);
    int selectedPlace() const;

    // The error report with this message: how it looks, and how high its message part is.
    // Below that the buttons follow the desktop's theme, which the model does not share.
    struct Box
    {
        QImage picture;
        int messageHeight = 0;
    };
    Box errorBox(const QString &message) const;

private:
    QWidget *broughtForward(const QString &name);

    std::unique_ptr<TForm1> m_window;
};
