#pragma once

// A small document and window controller of the tests' own, a tab bar that only counts, and a
// Window menu that only counts: enough to watch the tab framework work without the application.
#include "tabs/TabbarView.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedWindowController.h"
#include "tabs/TabbedWindowMenu.h"

#include <QLineEdit>
#include <QStringList>
#include <QVBoxLayout>

#include <functional>

struct HookLog {
    QStringList entries;
    void add(const QString &entry) { entries << entry; }
    QStringList take()
    {
        QStringList taken = entries;
        entries.clear();
        return taken;
    }
};

class CountingTabbar : public QWidget, public TabbarView
{
public:
    int reEvaluations = 0;
    QList<int> reEvaluatedTabs;
    int fullScreenUpdates = 0;
    QStringList externalTypes;
    TabbarDelegate *delegate_ = nullptr;

    QWidget *widget() override { return this; }
    TabbarDelegate *delegate() const override { return delegate_; }
    void setDelegate(TabbarDelegate *delegate) override { delegate_ = delegate; }
    void reEvaluateTabs() override { ++reEvaluations; }
    void reEvaluateTab(int index) override { reEvaluatedTabs << index; }
    void fullScreenStateUpdate() override { ++fullScreenUpdates; }
    void registerForExternalDragType(const QString &type) override { externalTypes << type; }
};

// Panes: two fields; the interface state is the text of the first.
class TestWindowController : public TabbedWindowController
{
public:
    explicit TestWindowController(HookLog *log = nullptr) : log_(log) {}

    QLineEdit *field = nullptr;
    QLineEdit *other = nullptr;
    CountingTabbar *bar = nullptr;

    // Tests of the real tab bar switch the counting one off.
    bool realTabbar = false;
    TabbarView *createTabbar() override
    {
        if (realTabbar)
            return TabbedWindowController::createTabbar();
        return bar = new CountingTabbar;
    }
    void windowDidLoad() override
    {
        auto *layout = new QVBoxLayout(mainContent());
        layout->addWidget(field = new QLineEdit);
        layout->addWidget(other = new QLineEdit);
    }
    QToolBar *toolbar() override { return nullptr; }
    void encodeInferfaceState(QVariantMap &archive) override
    {
        log("encode");
        archive.insert("field", field->text());
    }
    void decodeInferfaceState(const QVariantMap &archive) override
    {
        log("decode");
        field->setText(archive.value("field").toString());
    }
    void setDefaultInterfaceState() override
    {
        log("default");
        if (field)
            field->clear();
    }
    void activeDocumentUpdated(TabbedDocument *) override { log("activeDocumentUpdated"); }
    bool needToolbarUpdate() override { return false; }
    void clearControllers() override { log("clearControllers"); }
    QStringList externalDrops;
    void tabBarReceivedExternalDrop(const QString &type, const QByteArray &data) override
    {
        externalDrops << type + "=" + QString::fromUtf8(data);
    }

private:
    void log(const QString &entry)
    {
        if (log_)
            log_->add("controller." + entry);
    }
    HookLog *log_;
};

class TestDocument : public TabbedDocument
{
public:
    explicit TestDocument(const QString &name, HookLog *log = nullptr) : name_(name), log_(log) {}

    TabbedDocumentState state = TabbedDocumentStateNone;
    // Answers the closing question; unset answers yes at once.
    std::function<void(CloseCallback)> closeAnswer;
    QList<TestWindowController *> *madeControllers = nullptr;

    TabbedWindowController *createTabbedWindowController() override
    {
        auto *made = new TestWindowController(log_);
        if (madeControllers)
            *madeControllers << made;
        return made;
    }
    void loadDocumentInWindowController(TabbedWindowController *) override { log("load"); }
    void documentTabDidOrderFront() override { log("orderFront"); }
    void documentTabDidBecomeMain() override { log("becomeMain"); }
    void documentTabWillResignMain() override { log("resignMain"); }
    void documentTabWillOrderOut() override { log("orderOut"); }
    void restoreDocumentWithInfo(const std::optional<QVariantMap> &) override { log("restore"); }
    TabbedDocumentState documentState() const override { return state; }
    QString contextDisplayName() const override { return name_; }
    QVariantMap restorableDocumentInfo() const override { return {{"name", name_}}; }
    void documentRestorationComplete() override { log("restorationComplete"); }
    void destroyResources() override { log("destroyResources"); }
    void canCloseDocumentWithDelegate(CloseCallback shouldClose) override
    {
        log("askClose");
        if (closeAnswer)
            closeAnswer(shouldClose);
        else
            shouldClose(this, true);
    }

private:
    void log(const QString &entry)
    {
        if (log_)
            log_->add(name_ + "." + entry);
    }
    QString name_;
    HookLog *log_;
};

class CountingWindowMenu : public TabbedWindowMenu
{
public:
    CountingWindowMenu() { setShared(this); }
    ~CountingWindowMenu() override { setShared(nullptr); }
    int updates = 0;
    void updateWindowMenu() override { ++updates; }
};
