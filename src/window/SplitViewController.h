#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantMap>

class MainSplitView;
class ContentSplitView;
class QWidget;

// Owns the window's pair of split views (by reference: the widgets belong to the window) and
// swaps the content pane.
class SplitViewController : public QObject
{
    Q_OBJECT
public:
    explicit SplitViewController(QObject *parent = nullptr);

    MainSplitView *mainSplitView() const { return mainSplitView_; }
    void setMainSplitView(MainSplitView *view) { mainSplitView_ = view; }
    ContentSplitView *contentSplitView() const { return contentSplitView_; }
    void setContentSplitView(ContentSplitView *view) { contentSplitView_ = view; }

    void encodeInferfaceState(QVariantMap &archive) const;
    void decodeInferfaceState(const QVariantMap &archive);
    void setDefaultInterfaceState();
    void setContentView(QWidget *view, bool animate = false);

private:
    QPointer<MainSplitView> mainSplitView_;
    QPointer<ContentSplitView> contentSplitView_;
};
