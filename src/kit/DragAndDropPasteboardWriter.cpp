#include "kit/DragAndDropPasteboardWriter.h"

#include <QMimeData>

DragAndDropPasteboardWriter::DragAndDropPasteboardWriter(const QStringList &types,
                                                         const QMap<QString, QByteArray> &dataForType)
    : types_(types), dataForType_(dataForType)
{
}

DragAndDropPasteboardWriter::DragAndDropPasteboardWriter(const QMimeData &pasteboard)
{
    for (const QString &type : pasteboard.formats()) {
        if (type == QLatin1String("text/plain") || type.startsWith(QLatin1String("text/plain;")))
            continue;
        types_ << type;
        dataForType_.insert(type, pasteboard.data(type));
    }
}

QMimeData *DragAndDropPasteboardWriter::mimeData() const
{
    auto *data = new QMimeData;
    for (const QString &type : types_)
        data->setData(type, dataForType_.value(type));
    return data;
}

QString DragAndDropPasteboardWriter::description() const
{
    QStringList entries;
    for (auto it = dataForType_.cbegin(); it != dataForType_.cend(); ++it)
        entries << QStringLiteral("%1 = <%2 bytes>").arg(it.key()).arg(it.value().size());
    return QStringLiteral("DragAndDropPasteboardWriter %1 %2").arg(types_.join(", "), entries.join(", "));
}
