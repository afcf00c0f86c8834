#include "kit/CommandMenu.h"

#include "kit/CommandRouter.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPointer>
#include <QShortcut>

namespace
{

const char *ActionProperty = "vornAction";

QMenuBar *menuBarOf(QWidget *window)
{
    if (auto *main = qobject_cast<QMainWindow *>(window))
        return qobject_cast<QMenuBar *>(main->menuWidget());
    return window->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly);
}

QList<QAction *> itemsOf(const QWidget *menuOrBar)
{
    QList<QAction *> items;
    for (QAction *item : menuOrBar->actions()) {
        items << item;
        if (QMenu *submenu = item->menu())
            items << itemsOf(submenu);
    }
    return items;
}

// A shown and enabled control of the window that answers the key itself.
bool controlOwnsKey(QWidget *window, const QKeySequence &key)
{
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->shortcut() == key && button->isVisible() && button->isEnabled())
            return true;
    }
    for (QShortcut *shortcut : window->findChildren<QShortcut *>()) {
        auto *owner = qobject_cast<QWidget *>(shortcut->parent());
        if (shortcut->isEnabled() && shortcut->keys().contains(key) && owner && owner->isVisible())
            return true;
    }
    return false;
}

class KeyValidation : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        QWidget *window = static_cast<QWidget *>(watched)->window();
        QMenuBar *bar = menuBarOf(window);
        if (!bar)
            return false;
        CommandMenu::validateMenuBar(window);
        const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(key->key())));
        bool menuTakesKey = false;
        for (QAction *item : itemsOf(bar)) {
            if (!item->isEnabled() || !item->shortcuts().contains(pressed))
                continue;
            if (controlOwnsKey(window, pressed))
                item->setEnabled(false); // until the next validation
            else
                menuTakesKey = true;
        }
        // The focused widget does not get to keep a key the menu performs (a text field's own
        // Ctrl+Y, say): the menu's command reaches the widget through the router when it is its.
        return menuTakesKey;
    }
};

} // namespace

QAction *CommandMenu::addItem(QMenu *menu, QWidget *window, const QString &title, const QString &action,
                              const QList<QKeySequence> &shortcuts)
{
    QAction *item = menu->addAction(title);
    item->setShortcuts(shortcuts);
    item->setProperty(ActionProperty, action);
    QPointer<QWidget> target(window);
    QObject::connect(item, &QAction::triggered, item, [item, target, action] {
        if (target)
            CommandRouter::shared().sendAction(action, item, nullptr, target);
    });
    return item;
}

QString CommandMenu::actionOf(const QAction *item)
{
    return item->property(ActionProperty).toString();
}

void CommandMenu::validateItem(QAction *item, QWidget *window)
{
    const QString action = actionOf(item);
    if (action.isEmpty())
        return;
    QObject *target = CommandRouter::shared().targetForAction(action, window);
    bool enabled = target != nullptr;
    if (target) {
        const QMetaObject *meta = target->metaObject();
        const int validator = meta->indexOfMethod("validateMenuItem(QAction*)");
        if (validator >= 0)
            meta->method(validator).invoke(target, Qt::DirectConnection, Q_RETURN_ARG(bool, enabled),
                                           Q_ARG(QAction *, item));
    }
    item->setEnabled(enabled);
}

void CommandMenu::validate(QMenu *menu, QWidget *window)
{
    for (QAction *item : itemsOf(menu))
        validateItem(item, window);
}

void CommandMenu::validateOnShow(QMenu *menu, QWidget *window)
{
    QPointer<QWidget> target(window);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, target] {
        if (target)
            validate(menu, target);
    });
}

void CommandMenu::validateMenuBar(QWidget *window)
{
    if (QMenuBar *bar = menuBarOf(window)) {
        for (QAction *item : itemsOf(bar))
            validateItem(item, window);
    }
}

void CommandMenu::installKeyValidation()
{
    static KeyValidation *validation = [] {
        auto *filter = new KeyValidation;
        filter->setParent(qApp);
        qApp->installEventFilter(filter);
        return filter;
    }();
    Q_UNUSED(validation);
}
