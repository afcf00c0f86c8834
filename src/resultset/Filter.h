#pragma once

#include "elements/BrowserElement.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QTextCursor;
class QTextDocument;

class Filter;
using FilterPtr = std::shared_ptr<Filter>;

// One dragged filter item: the values of one grid column in the dragged rows, or one schema object
// from the browser, with the text to drop into an editor. It travels on the drag pasteboard in our
// own versioned archive. Filters have no value equality.
class Filter
{
public:
    // Pasteboard types of a filter drag.
    static const QString filterItemType;    // "com.ostrel.apps.vorn.filter-item": the archive
    static const QString sqlFilterItemType; // "com.ostrel.apps.vorn.sql.filter-item": the condition

    Filter() = default;

    QByteArray archive() const;
    // Null for data that is not a filter archive of this version.
    static FilterPtr fromArchive(const QByteArray &data);

    // The drag token's text: the override (cut at 40 characters), a browser item's drop text or its
    // icon and name, or the column name with up to three values.
    std::unique_ptr<QTextDocument> stringForImage() const;
    // The token is drawn in the negative style for a negated filter.
    bool isAlternate() const { return not_; }

    BrowserElementPtr element() const { return element_; }
    void setElement(BrowserElementPtr element) { element_ = std::move(element); }
    // The real column name (the backend's unique name), never a header label.
    QString columnName() const { return columnName_; }
    void setColumnName(const QString &columnName) { columnName_ = columnName; }
    // The distinct values of the column in the dragged rows, in row order; empty when there are none.
    QStringList values() const { return values_; }
    void setValues(const QStringList &values) { values_ = values; }
    bool isNot() const { return not_; }
    void setNot(bool negated) { not_ = negated; }
    // Grid rows, counted from 0, ascending.
    QList<qint64> rowIndexes() const { return rowIndexes_; }
    void setRowIndexes(const QList<qint64> &rowIndexes) { rowIndexes_ = rowIndexes; }
    // The document the drag started in; null once it is gone or for an archive of another process.
    QObject *sourceDocument() const { return sourceDocument_; }
    void setSourceDocument(QObject *document) { sourceDocument_ = document; }
    QString textDrop() const { return textDrop_; }
    void setTextDrop(const QString &textDrop) { textDrop_ = textDrop; }
    // Shown by the token instead of the filter's own text; never archived.
    QString textOverride() const { return textOverride_; }
    void setTextOverride(const QString &textOverride) { textOverride_ = textOverride; }

private:
    void writeColumnFilter(QTextCursor &cursor) const;
    void writeBrowserItem(QTextCursor &cursor) const;

    BrowserElementPtr element_;
    QString columnName_;
    QStringList values_;
    bool not_ = false;
    QList<qint64> rowIndexes_;
    QPointer<QObject> sourceDocument_;
    QString textDrop_;
    QString textOverride_;
};
