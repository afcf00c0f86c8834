#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

class QButtonGroup;
class QComboBox;
class QLabel;
class QRadioButton;
class QWidget;

// What a management view's radio entry tells its bar.
class QuickFilterRadioItemDelegate
{
public:
    virtual ~QuickFilterRadioItemDelegate() = default;
    virtual void quickFilterRadioItemUpdatedSelectionFrom(const QString &from, const QString &to) = 0;
};

// A radio entry of a management view's bar: a caption over radio buttons for fixed choices ("name"
// shown, "value" the condition it stands for). With a select name there are two buttons: the first
// choice, and one so named that stands for the choice a menu under it shows. Main thread only.
class QuickFilterRadioItem : public QObject
{
    Q_OBJECT
public:
    QuickFilterRadioItem(const QString &name, const QVariantList &values, const QString &selection,
                         const QString &selectName, QObject *parent = nullptr);
    ~QuickFilterRadioItem() override;

    QWidget *view() const { return view_; }
    QString name() const { return name_; }
    QVariantList values() const { return values_; }
    // The "value" of the current choice; null when none was given.
    QString selection() const { return selection_; }
    QString selectName() const { return selectName_; }
    QuickFilterRadioItemDelegate *delegate() const { return delegate_; }
    void setDelegate(QuickFilterRadioItemDelegate *delegate) { delegate_ = delegate; }

    QLabel *label() const { return label_; }
    QList<QRadioButton *> options() const { return buttons_; }
    QComboBox *select() const { return select_; }
    // The row of the checked button.
    int selectedRow() const;

private:
    void build();
    void layoutControls();
    void updateMatrix();

    QString name_;
    QVariantList values_;
    QString selection_;
    QString selectName_;
    QuickFilterRadioItemDelegate *delegate_ = nullptr;
    QPointer<QWidget> view_;
    QLabel *label_ = nullptr;
    QWidget *matrix_ = nullptr;
    QButtonGroup *group_ = nullptr;
    QList<QRadioButton *> buttons_;
    QComboBox *select_ = nullptr;
};
