#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

// A pane of the main window: a view the window places, and the per-tab interface state the
// window archives when tabs switch. The view belongs to the window once placed; until then the
// controller owns it.
class PaneViewController : public QObject
{
    Q_OBJECT
public:
    explicit PaneViewController(QObject *parent = nullptr) : QObject(parent) {}
    ~PaneViewController() override
    {
        if (view_ && !view_->parent())
            delete view_;
    }

    QWidget *view() const { return view_; }

    virtual void encodeInferfaceState(QVariantMap &) const {}
    virtual void decodeInferfaceState(const QVariantMap &) {}
    virtual void setDefaultInterfaceState() {}
    // The window's last tab has closed: let go of the document's model.
    virtual void detachModel() {}
    // The split-view side that holds this pane was shown (the info column loads its details).
    virtual void paneBecameVisible() {}

protected:
    void setView(QWidget *view) { view_ = view; }
    // A plain pane view filled with one colour, named for its pane.
    static QWidget *makeFilledView(const QString &name, const QColor &color)
    {
        auto *view = new QWidget;
        view->setObjectName(name);
        view->setAutoFillBackground(true);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Window, color);
        view->setPalette(palette);
        return view;
    }

private:
    QPointer<QWidget> view_;
};
