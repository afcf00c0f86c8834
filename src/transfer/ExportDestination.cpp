#include "transfer/ExportDestination.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

QString ExportDestination::replace(const QString &source, const QString &destination,
                                   const std::function<bool()> &cancelled)
{
    const auto failure = [&](const QString &reason) {
        return QCoreApplication::translate("export", "The export could not be stored in %1: %2")
            .arg(destination, reason);
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failure(in.errorString());
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return failure(out.errorString());
    QByteArray piece;
    while (!in.atEnd()) {
        if (cancelled && cancelled()) {
            out.cancelWriting();
            return QString();
        }
        piece = in.read(qint64(1) << 20);
        if (piece.isEmpty() && in.error() != QFileDevice::NoError)
            return failure(in.errorString());
        if (out.write(piece) != piece.size())
            return failure(out.errorString());
    }
    if (!out.commit())
        return failure(out.errorString());
    return QString();
}
