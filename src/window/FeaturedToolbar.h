#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QToolBar>

class ToolbarDelegate;
class ToolbarItem;

// A window toolbar whose items follow a bit mask of the active document's features. The same
// toolbar is re-configured when the features change; back and forward stay the same objects.
class FeaturedToolbar : public QToolBar
{
    Q_OBJECT
public:
    static inline const QString SpaceItemIdentifier = QStringLiteral("NSToolbarSpaceItemIdentifier");
    static constexpr int ValidationIntervalMs = 500;
    static inline const QString FlexibleSpaceItemIdentifier =
        QStringLiteral("NSToolbarFlexibleSpaceItemIdentifier");

    explicit FeaturedToolbar(qint64 features, QWidget *parent = nullptr);
    ~FeaturedToolbar() override;

    // Unique per instance, so no two windows share an item configuration.
    QString identifier() const { return objectName(); }
    static QString identifierForFeatures(qint64 features);

    qint64 features() const { return features_; }
    void setFeatures(qint64 features) { features_ = features; }
    void updateFeatures(qint64 features);
    // Replaces every item by the delegate's default items (the first build).
    void loadDefaultItems();

    ToolbarDelegate *delegate() const { return delegate_; }
    void setDelegate(ToolbarDelegate *delegate) { delegate_ = delegate; }

    QList<ToolbarItem *> items() const;
    QStringList itemIdentifiers() const;
    void insertItemWithItemIdentifier(const QString &identifier, int index);
    void removeItemAtIndex(int index);
    bool allItemsVisible() const;
    // Lets every item enable or disable itself (toolbar validation).
    void validateVisibleItems();

private:
    ToolbarItem *makeSpace(bool flexible);

    qint64 features_;
    ToolbarDelegate *delegate_ = nullptr;
    QList<QPointer<ToolbarItem>> items_;
    QTimer validationTimer_;
};
