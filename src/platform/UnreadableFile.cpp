#include "platform/UnreadableFile.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

QString keepUnreadableFileAside(const QString &filePath)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = QStringLiteral("%1.unreadable-%2").arg(filePath, stamp);
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = QStringLiteral("%1.unreadable-%2-%3").arg(filePath, stamp).arg(n);
    QFile file(filePath);
    if (file.rename(aside)) {
        qWarning().noquote() << filePath << "is not readable; kept as" << aside;
        return aside;
    }
    qWarning().noquote() << filePath << "is not readable and could not be kept:" << file.errorString();
    return {};
}
