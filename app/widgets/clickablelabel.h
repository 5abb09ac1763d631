#pragma once

#include <QLabel>

// A label, text or picture, that shows the hand pointer and reports a click on it.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(const QString &name, QWidget *parent = nullptr);

    // Draws the text as a link: blue and underlined, in a blue light enough to read on a dark
    // window background.
    void showAsLink();

    // The link's blue for a background: pure blue, lightened only as far as a contrast of 4.5:1
    // needs.
    static QColor linkColour(const QColor &background);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyLinkColour();

    bool m_link = false;
};
