#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class FilterWindowControllerDelegate;

// The filter sheet: the grid's filter as one free SQL condition, which the user edits or extends with
// conditions made of a column, an operator and a value. Set hands the text to the delegate, which makes
// it the one custom quick-filter row; a text that would end the statement is refused in the sheet, so
// nothing typed is lost. Main thread only.
class FilterWindowController : public QObject
{
    Q_OBJECT
public:
    explicit FilterWindowController(QObject *parent = nullptr);
    ~FilterWindowController() override;

    FilterWindowControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(FilterWindowControllerDelegate *delegate) { delegate_ = delegate; }
    QVariantList columnInfo() const { return columnInfo_; }

    // The condition text and the quick-filter column information ("name", "type", "operators"); the
    // column pop-up lists the names up to the first "__EMPTY__".
    void setFilter(const QString &filter, const QVariantList &columnInfo);
    // The operators of the selected column, titled for its type, each holding its code.
    void updateOperators();
    // The first column information entry of that name; empty when none.
    QVariantMap infoForColumn(const QString &name) const;
    // Runs the sheet on the window without blocking; the delegate hears how it ended.
    void showOnWindow(QWidget *window);
    // The condition text as it now stands.
    QString filter() const;

    // Set: ends the sheet with 1, unless the text would end the statement.
    void setFilterAction();
    void cancel();
    void clearFilter();
    void andAction() { extendFilter(QStringLiteral("AND")); }
    void orAction() { extendFilter(QStringLiteral("OR")); }
    void andNotAction() { extendFilter(QStringLiteral("AND NOT")); }
    // Appends the condition of the chosen column, operator and value, after the connective when the
    // text holds a condition already. A condition that cannot be made changes nothing and says so.
    void extendFilter(const QString &connective);

    // Whether the text holds a ';' outside quotes, which would end the statement it is put into.
    static bool containsStatementSeparator(const QString &condition);

    QDialog *panel() const { return panel_; }
    QPlainTextEdit *filterText() const { return filterText_; }
    QComboBox *columnNames() const { return columnNames_; }
    QComboBox *operators() const { return operators_; }
    QLineEdit *value() const { return value_; }
    // Says why the last action was refused; hidden otherwise.
    QLabel *notice() const { return notice_; }
    QPushButton *setButton() const { return setButton_; }

private:
    // The sheet's window is made again when the window it was shown on took it down.
    void ensurePanel();
    void buildPanel();
    void panelEnded(int returnCode);
    void showNotice(const QString &text);

    FilterWindowControllerDelegate *delegate_ = nullptr;
    QVariantList columnInfo_;
    // The window the sheet was shown on may take the sheet down with it.
    QPointer<QDialog> panel_;
    QPointer<QPlainTextEdit> filterText_;
    QPointer<QComboBox> columnNames_;
    QPointer<QComboBox> operators_;
    QPointer<QLineEdit> value_;
    QPointer<QLabel> notice_;
    QPointer<QPushButton> setButton_;
};
