#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QWidget;

// What a management view's search entry tells its bar.
class QuickFilterSearchItemDelegate
{
public:
    virtual ~QuickFilterSearchItemDelegate() = default;
    virtual void quickFilterSearchItemUpdatedSelectionFrom(const QString &from, const QString &to) = 0;
};

// A search entry of a management view's bar: a search field labelled by its placeholder that filters
// one column; its text is the entry's selection. Main thread only.
class QuickFilterSearchItem : public QObject
{
    Q_OBJECT
public:
    static constexpr int minimumFieldWidth = 100;

    QuickFilterSearchItem(const QString &name, const QString &value, const QString &selection,
                          QObject *parent = nullptr);
    ~QuickFilterSearchItem() override;

    QWidget *view() const { return view_; }
    QLineEdit *search() const { return search_; }
    QString name() const { return name_; }
    // The column the entry searches.
    QString value() const { return value_; }
    QString selection() const { return selection_; }
    bool numeric() const { return numeric_; }
    void setNumeric(bool numeric) { numeric_ = numeric; }
    QuickFilterSearchItemDelegate *delegate() const { return delegate_; }
    void setDelegate(QuickFilterSearchItemDelegate *delegate) { delegate_ = delegate; }

private:
    void searchFieldUpdated();

    QString name_;
    QString value_;
    QString selection_;
    bool numeric_ = false;
    QuickFilterSearchItemDelegate *delegate_ = nullptr;
    QPointer<QWidget> view_;
    QLineEdit *search_ = nullptr;
};
