#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QWidget;
class QuickFilterItem;

// What a quick-filter row tells its bar.
class QuickFilterItemDelegate
{
public:
    virtual ~QuickFilterItemDelegate() = default;
    virtual void quickFilterItemWasUpdated(QuickFilterItem *item) = 0;
    virtual void quickFilterItemWantsToBeRemoved(QuickFilterItem *item) = 0;
    virtual void quickFilterItemWantsToAddANewItem(QuickFilterItem *item) = 0;
};

// One row of the quick-filter bar: a column menu, an operator menu, a search field for the value, a text
// view for a free SQL condition (the custom filter) and add and remove buttons. Columns and operators
// are kept as codes in the menus' item data, so a title never stands for a code. Main thread only.
class QuickFilterItem : public QObject
{
    Q_OBJECT
public:
    static const QString customFilterColumn; // "__CUSTOM_FILTER__"
    static const QString emptyColumn;        // "__EMPTY__": a separator in the column menu
    static constexpr int ordinaryHeight = 26;
    static constexpr int customFilterHeight = 72;

    // Column information: per column "name", "type", "operators" and "preferredOperator".
    explicit QuickFilterItem(const QVariantList &columnInfo, QObject *parent = nullptr);
    ~QuickFilterItem() override;

    QWidget *view() const { return view_; }
    QuickFilterItemDelegate *delegate() const { return delegate_; }
    void setDelegate(QuickFilterItemDelegate *delegate) { delegate_ = delegate; }
    QVariantList columnInfo() const { return columnInfo_; }
    void setColumnInfo(const QVariantList &columnInfo) { columnInfo_ = columnInfo; }

    // The selected column's name ("__CUSTOM_FILTER__" for the custom filter); null when none is selected.
    QString columnValue() const;
    // "__CUSTOM_FILTER__" for a custom-filter row, else the selected operator's code; null without column.
    QString operatorValue() const;
    // The condition text of a custom-filter row, else the search field's text.
    QString value() const;
    // The selected column's type code; null without column.
    QString columnType() const;
    bool isCustomFilter() const { return columnValue() == customFilterColumn; }

    // Selects column, operator (the column's preferred one, or its first, when it lacks this one) and
    // value without telling the delegate.
    void setSelectionColumn(const QString &columnName, const QString &operatorCode, const QString &value);
    void resetOperators();
    void layout();
    bool useOrderColumns() const { return useOrderColumns_; }
    // Rebuilds the column menu: sorted names when set, result order otherwise; the custom filter last.
    void setUseOrderColumns(bool useOrderColumns);

    int indexOfColumnWithName(const QString &name) const;
    int indexOfOperatorWithCode(const QString &code) const;
    QString codeOfOperationAtIndex(int index) const;
    // The column's preferred operator code.
    QString preferredColumnFor(const QString &columnName) const;
    static QString textualOperatorForOperator(const QString &code, const QString &type);

    bool valid() const { return valid_; }
    // Invalid rows show their text in red.
    void setValid(bool valid);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool enableRemoval() const { return enableRemoval_; }
    void setEnableRemoval(bool enableRemoval);
    void selectSearchfield();

    QComboBox *columnsMenu() const { return columns_; }
    QComboBox *operatorsMenu() const { return operators_; }
    QLineEdit *searchField() const { return searchField_; }
    QPlainTextEdit *textField() const { return textField_; }
    QToolButton *addButton() const { return addButton_; }
    QToolButton *removeButton() const { return removeButton_; }

private:
    QVariantMap columnEntry(const QString &columnName) const;
    void buildInitialColumnMenu();
    void selectColumn(const QString &columnName);
    // Shows the controls of an ordinary or a custom-filter row; the height animated or not.
    void showControlsForKind(bool animated);
    bool hidesSearchField() const;
    void columnSelectionUpdated();
    void operatorSelectionUpdated();
    void focusValue();
    void updateEnabling();

    QVariantList columnInfo_;
    QuickFilterItemDelegate *delegate_ = nullptr;
    QPointer<QWidget> view_;
    QComboBox *columns_ = nullptr;
    QComboBox *operators_ = nullptr;
    QLineEdit *searchField_ = nullptr;
    QPlainTextEdit *textField_ = nullptr;
    QToolButton *addButton_ = nullptr;
    QToolButton *removeButton_ = nullptr;
    bool enabled_ = true;
    bool enableRemoval_ = true;
    bool valid_ = true;
    bool useOrderColumns_ = false;
    // Set while the row is changed from outside: such changes are not reported.
    bool settingSelection_ = false;
};
