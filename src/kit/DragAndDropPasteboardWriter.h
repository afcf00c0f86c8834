#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>

class QMimeData;

// Ready-made drag data: the types in order and the bytes of each.
class DragAndDropPasteboardWriter
{
public:
    DragAndDropPasteboardWriter(const QStringList &types, const QMap<QString, QByteArray> &dataForType);
    // Every type of the given data except plain text, with its bytes.
    explicit DragAndDropPasteboardWriter(const QMimeData &pasteboard);

    QStringList writableTypes() const { return types_; }
    QByteArray pasteboardPropertyListForType(const QString &type) const { return dataForType_.value(type); }
    // New data for a drag; the drag takes it.
    QMimeData *mimeData() const;
    QString description() const;

private:
    QStringList types_;
    QMap<QString, QByteArray> dataForType_;
};
