#pragma once

#include "window/CommonSplitView.h"

#include <QPointer>

// The stacked split view of the main window's centre: SQL editor, content pane, execution log.
// Its centre holds the content pane that the window swaps for the active document's state.
// Enabling a side announces it ("ContentSplitViewABecameVisible" / "...BBecameVisible").
class ContentSplitView : public CommonSplitView
{
    Q_OBJECT
public:
    static constexpr int ContentAnimationMs = 300;

    explicit ContentSplitView(QWidget *parent = nullptr);

    using CommonSplitView::setViewAEnabled;
    using CommonSplitView::setViewBEnabled;
    void setViewAEnabled(bool enabled) override;
    void setViewBEnabled(bool enabled) override;
    // Editor and log always start hidden, whatever the start-up preferences say.
    void setDefaultInterfaceState() override;

    // Puts a view into the centre pane in place of the one shown; the replaced view stays a
    // child of the pane (its controller still owns it) but is hidden.
    void setContentView(QWidget *view, bool animate = false);
    QWidget *contentView() const { return content_; }

private:
    QPointer<QWidget> content_;
};
