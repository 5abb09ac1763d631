#pragma once

#include <QLineEdit>

// A single-line input field. Fields with clear-on-click are emptied by every mouse click
// completed inside them; entering with the keyboard selects the text instead.
class InputField : public QLineEdit
{
    Q_OBJECT

public:
    enum ClickBehaviour
    {
        KeepOnClick,
        ClearOnClick
    };

    InputField(const QString &name, const QString &defaultText, ClickBehaviour behaviour,
               QWidget *parent = nullptr);

    void resetToDefault() { setText(m_defaultText); }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_defaultText;
    ClickBehaviour m_behaviour;
};
