#pragma once

#include <QScrollArea>

class NotifyingScrollView;

class NotifyingScrollViewDelegate
{
public:
    virtual ~NotifyingScrollViewDelegate() = default;
    virtual void notifyingScrollViewScrolled(NotifyingScrollView *scrollView) = 0;
};

// A scroll view that tells its delegate, when it has one, after every scroll.
class NotifyingScrollView : public QScrollArea
{
    Q_OBJECT
public:
    explicit NotifyingScrollView(QWidget *parent = nullptr);
    NotifyingScrollViewDelegate *delegate() const { return delegate_; }
    void setDelegate(NotifyingScrollViewDelegate *delegate) { delegate_ = delegate; }

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    NotifyingScrollViewDelegate *delegate_ = nullptr;
};
