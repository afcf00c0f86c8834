#pragma once

#include "kit/VisualShortcut.h"
#include "window/FeaturedToolbar.h"

#include <QPointer>
#include <QString>
#include <QWidgetAction>

#include <optional>

class QAbstractButton;

// The hint the shortcut overlay shows for a toolbar control.
struct ToolbarShortcutHint {
    QString key;
    Qt::KeyboardModifiers modifiers;
    bool bump = false;
};

// A view-based toolbar item. It enables itself only while its window is the main window and
// some responder can perform its view's action; clicking the view sends that action through
// the command router.
class ToolbarItem : public QWidgetAction, public VisualShortcutAdopter
{
    Q_OBJECT
public:
    // The item takes ownership of the view.
    ToolbarItem(const QString &identifier, QWidget *view, QObject *parent = nullptr);

    QString itemIdentifier() const { return identifier_; }
    QString label() const { return text(); }
    void setLabel(const QString &label) { setText(label); }
    QWidget *view() const { return defaultWidget(); }
    // The action of the item and of its view ("executeSql:"); empty for none.
    QString itemAction() const { return action_; }
    void setItemAction(const QString &action);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    FeaturedToolbar *toolbar() const { return toolbar_; }
    void setToolbar(FeaturedToolbar *toolbar) { toolbar_ = toolbar; }
    // Fixed width and height of the item (minimum and maximum size are always the same).
    void setItemSize(const QSize &size);
    QSize itemSize() const;

    virtual void validate();
    virtual std::optional<ToolbarShortcutHint> shortcutHint() const;
    static std::optional<ToolbarShortcutHint> shortcutHintForAction(const QString &action, int tag);
    // The hint for the shortcut overlay; the pane group gives one per pane button.
    QList<VisualShortcut> visualShortcuts() override;

protected:
    // Main window shows this item's toolbar and a responder performs the action.
    bool canPerformAction() const;

private:
    QString identifier_;
    QString action_;
    int tag_ = 0;
    QPointer<FeaturedToolbar> toolbar_;
};
