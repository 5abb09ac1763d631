#include "latinmnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QTabBar>

namespace {

// The ЙЦУКЕН keys as the QWERTY layout names them, letter by letter.
const QString kRussianKeys = QStringLiteral("йцукенгшщзхъфывапролджэячсмитьбюё");
const QString kLatinKeys = QStringLiteral("qwertyuiop[]asdfghjkl;'zxcvbnm,.`");

bool hasMnemonic(const QString &text, QChar letter)
{
    return QKeySequence::mnemonic(text) ==
           QKeySequence(Qt::ALT | Qt::Key(letter.toUpper().unicode()));
}

// Watches the keys typed in one window: an Alt key that nothing took is offered to the widget
// whose mnemonic is the Russian letter of the same key, as Qt would offer Alt with that letter.
class LatinMnemonics : public QObject
{
public:
    explicit LatinMnemonics(QWidget *window) : QObject(window), m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
            static_cast<QWidget *>(watched)->window() != m_window)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() != Qt::AltModifier || key->key() > 0x7f)
            return false;
        // In the Russian layout the key is a Cyrillic letter, which Qt itself matched.
        const qsizetype place = kLatinKeys.indexOf(QChar(key->key()).toLower());
        return place >= 0 && reach(kRussianKeys.at(place));
    }

private:
    // What Qt does for a mnemonic: a button is clicked, a label's field takes the focus, a tab
    // is shown. A disabled one takes the key and does nothing.
    bool reach(QChar letter)
    {
        for (QWidget *widget : m_window->findChildren<QWidget *>()) {
            if (widget->window() != m_window || !widget->isVisible())
                continue;
            if (auto *button = qobject_cast<QAbstractButton *>(widget);
                button && hasMnemonic(button->text(), letter)) {
                if (button->isEnabled())
                    button->animateClick();
                return true;
            }
            if (auto *label = qobject_cast<QLabel *>(widget);
                label && label->buddy() && hasMnemonic(label->text(), letter)) {
                if (label->buddy()->isEnabled())
                    label->buddy()->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
            if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
                for (int tab = 0; tab < tabs->count(); ++tab) {
                    if (!tabs->isTabVisible(tab) || !hasMnemonic(tabs->tabText(tab), letter))
                        continue;
                    if (tabs->isEnabled() && tabs->isTabEnabled(tab))
                        tabs->setCurrentIndex(tab);
                    return true;
                }
            }
        }
        return false;
    }

    QWidget *m_window;
};

} // namespace

void addLatinMnemonics(QWidget *window)
{
    new LatinMnemonics(window);
}
