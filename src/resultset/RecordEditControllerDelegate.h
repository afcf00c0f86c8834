#pragma once

#include <QString>

// What the record editor asks of its client about the record's columns, and the large-object
// operations it has the client carry out (on OK, for the ones that change the record).
class RecordEditControllerDelegate
{
public:
    virtual ~RecordEditControllerDelegate() = default;

    virtual bool recordEditorColumnIsClobOrLargeString(const QString &column) = 0;
    virtual bool recordEditorColumnIsBlob(const QString &column) = 0;
    virtual bool recordEditorColumnIsBlobEmpty(const QString &column) = 0;
    virtual bool recordEditorLoadBlobFor(const QString &column, const QString &path) = 0;
    virtual bool recordEditorSaveBlobFor(const QString &column, const QString &path) = 0;
    virtual bool recordEditorClearBlobFor(const QString &column) = 0;
};
