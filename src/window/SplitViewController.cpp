#include "window/SplitViewController.h"

#include "window/ContentSplitView.h"
#include "window/MainSplitView.h"

SplitViewController::SplitViewController(QObject *parent) : QObject(parent) {}

void SplitViewController::encodeInferfaceState(QVariantMap &archive) const
{
    mainSplitView_->encodeInferfaceState(archive);
    contentSplitView_->encodeInferfaceState(archive);
}

void SplitViewController::decodeInferfaceState(const QVariantMap &archive)
{
    mainSplitView_->decodeInferfaceState(archive);
    contentSplitView_->decodeInferfaceState(archive);
}

void SplitViewController::setDefaultInterfaceState()
{
    mainSplitView_->setDefaultInterfaceState();
    contentSplitView_->setDefaultInterfaceState();
}

void SplitViewController::setContentView(QWidget *view, bool animate)
{
    contentSplitView_->setContentView(view, animate);
}
