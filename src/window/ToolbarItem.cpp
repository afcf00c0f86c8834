#include "window/ToolbarItem.h"

#include "kit/CommandRouter.h"
#include "window/FeaturedToolbar.h"

#include <QAbstractButton>

ToolbarItem::ToolbarItem(const QString &identifier, QWidget *view, QObject *parent)
    : QWidgetAction(parent), identifier_(identifier)
{
    setDefaultWidget(view);
    if (auto *button = qobject_cast<QAbstractButton *>(view)) {
        connect(button, &QAbstractButton::clicked, this, [this, button] {
            if (!action_.isEmpty())
                CommandRouter::shared().sendAction(action_, button, nullptr, button->window());
        });
    }
}

void ToolbarItem::setItemAction(const QString &action)
{
    action_ = action;
    if (view())
        view()->setProperty("vornAction", action);
}

void ToolbarItem::setItemSize(const QSize &size)
{
    if (view())
        view()->setFixedSize(size);
}

QSize ToolbarItem::itemSize() const
{
    return view() ? view()->minimumSize() : QSize();
}

bool ToolbarItem::canPerformAction() const
{
    QWidget *main = CommandRouter::mainWindow();
    if (!toolbar_ || !main || toolbar_->window() != main)
        return false;
    return CommandRouter::shared().targetForAction(action_, main) != nullptr;
}

void ToolbarItem::validate()
{
    // The pane buttons keep the state they have: nothing disables them.
    if (action_ == "toggleSplitViews:")
        return;
    const bool enabled = canPerformAction();
    setEnabled(enabled);
    if (view())
        view()->setEnabled(enabled);
}

std::optional<ToolbarShortcutHint> ToolbarItem::shortcutHint() const
{
    return shortcutHintForAction(action_, tag_);
}

QList<VisualShortcut> ToolbarItem::visualShortcuts()
{
    auto shortcutFor = [](QWidget *view, const ToolbarShortcutHint &hint, bool enabled) {
        VisualShortcut shortcut =
            VisualShortcut::visualShortCutWithView(view, hint.key, hint.modifiers, enabled);
        shortcut.shouldBump = hint.bump;
        return shortcut;
    };
    QList<VisualShortcut> shortcuts;
    if (!view())
        return shortcuts;
    if (action_ == "toggleSplitViews:" && !qobject_cast<QAbstractButton *>(view())) {
        for (QAbstractButton *button : view()->findChildren<QAbstractButton *>()) {
            if (const auto hint = shortcutHintForAction(action_, button->property("tag").toInt()))
                shortcuts << shortcutFor(button, *hint, button->isEnabled());
        }
        return shortcuts;
    }
    if (const auto hint = shortcutHint())
        shortcuts << shortcutFor(view(), *hint, isEnabled());
    return shortcuts;
}

std::optional<ToolbarShortcutHint> ToolbarItem::shortcutHintForAction(const QString &action, int tag)
{
    // Command is Ctrl, Option is Alt and Control is Meta here.
    const Qt::KeyboardModifiers cmd = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers opt = Qt::AltModifier;
    const Qt::KeyboardModifiers ctrl = Qt::MetaModifier;
    struct Row {
        const char *action;
        int tag;
        const char *key;
        Qt::KeyboardModifiers modifiers;
        bool bump;
    };
    static const Row rows[] = {
        {"addRow:", -1, "=", cmd, false},
        {"deleteRow:", -1, "-", cmd, false},
        {"sort:", -1, "s", cmd | shift, false},
        {"filter:", -1, "f", cmd | shift, true},
        {"commit:", -1, "k", cmd | shift, false},
        {"rollback:", -1, "r", cmd | shift, false},
        {"refresh:", -1, "r", cmd, false},
        {"executeSql:", -1, "\r", cmd, false},
        {"compile:", -1, "\r", cmd | opt, false},
        {"openRecycleBin:", -1, "r", cmd | opt | shift, false},
        {"analyseSql:", -1, "a", cmd | shift, true},
        {"toggleSplitViews:", 1, "y", cmd, false},
        {"toggleSplitViews:", 2, "0", ctrl | opt | cmd, true},
        {"toggleSplitViews:", 3, "y", cmd | shift, false},
        {"toggleSplitViews:", 4, "0", cmd | opt, true},
    };
    for (const Row &row : rows) {
        if (action == QLatin1String(row.action) && (row.tag < 0 || row.tag == tag))
            return ToolbarShortcutHint{QString::fromLatin1(row.key), row.modifiers, row.bump};
    }
    return std::nullopt;
}
