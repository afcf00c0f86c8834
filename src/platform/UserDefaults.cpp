#include "platform/UserDefaults.h"
#include "platform/AppFolders.h"

#include "platform/UnreadableFile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

namespace
{

const QString dataMarker = QStringLiteral("$base64");

QJsonValue toJson(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QByteArray:
        return QJsonObject{{dataMarker, QString::fromLatin1(value.toByteArray().toBase64())}};
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        for (const QVariant &item : value.toList())
            array.append(toJson(item));
        return array;
    }
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), toJson(it.value()));
        return object;
    }
    default:
        return QJsonValue::fromVariant(value);
    }
}

QVariant fromJson(const QJsonValue &value)
{
    if (value.isArray()) {
        QVariantList list;
        for (const QJsonValue &item : value.toArray())
            list.append(fromJson(item));
        return list;
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        // Only what toJson wrote is data: a hand-written object that merely looks like it stays as it is.
        if (object.size() == 1 && object.value(dataMarker).isString()) {
            const auto data = QByteArray::fromBase64Encoding(object.value(dataMarker).toString().toLatin1(),
                                                             QByteArray::AbortOnBase64DecodingErrors);
            if (data)
                return *data;
        }
        QVariantMap map;
        for (auto it = object.begin(); it != object.end(); ++it)
            map.insert(it.key(), fromJson(it.value()));
        return map;
    }
    return value.toVariant();
}

bool readJson(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it)
        map.insert(it.key(), fromJson(it.value()));
    return true;
}

// The verdict of the calling thread's last write, for synchronize().
thread_local bool lastWriteSucceeded = true;

bool writeJson(QIODevice &device, const QSettings::SettingsMap &map)
{
    QJsonObject root;
    for (auto it = map.begin(); it != map.end(); ++it)
        root.insert(it.key(), toJson(it.value()));
    // A short write (a full disk) is a failure: the file being replaced must stay as it was.
    // The file device buffers: only its flush shows that the bytes reached the disk.
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    auto *file = qobject_cast<QFileDevice *>(&device);
    lastWriteSucceeded = device.write(bytes) == bytes.size() && (!file || file->flush());
    return lastWriteSucceeded;
}

QSettings::Format jsonFormat()
{
    static const QSettings::Format format = QSettings::registerFormat("json", readJson, writeJson);
    return format;
}

// The first write would replace a file that does not read as JSON with only the values set since,
// and the saved connections would be gone with the rest. Such a file is moved aside under a name of
// its own, for the user to mend, and the store starts empty.
void keepUnreadableFile(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QSettings::SettingsMap ignored;
    if (readJson(file, ignored))
        return;
    file.close();
    keepUnreadableFileAside(filePath);
}

} // namespace

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults(AppFolders::preferencesFile());
    return defaults;
}

UserDefaults::UserDefaults(const QString &filePath)
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    keepUnreadableFile(filePath);
    settings_ = std::make_unique<QSettings>(filePath, jsonFormat());
    settings_->setFallbacksEnabled(false);
}

UserDefaults::~UserDefaults()
{
    settings_->sync();
}

QString UserDefaults::filePath() const
{
    return settings_->fileName();
}

bool UserDefaults::contains(const QString &key) const
{
    std::lock_guard lock(mutex_);
    return settings_->contains(key);
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    std::lock_guard lock(mutex_);
    return settings_->value(key);
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    std::lock_guard lock(mutex_);
    if (!value.isValid())
        settings_->remove(key);
    else
        settings_->setValue(key, value);
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    std::lock_guard lock(mutex_);
    settings_->remove(key);
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.canConvert<QString>() ? value.toString() : QString();
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().toLower();
        return text == "yes" || text == "true" || text.toLongLong() != 0;
    }
    return value.toBool();
}

qint64 UserDefaults::integerForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::Double)
        return static_cast<qint64>(value.toDouble());
    if (value.typeId() == QMetaType::QString)
        return static_cast<qint64>(value.toString().toDouble());
    return value.toLongLong();
}

double UserDefaults::doubleForKey(const QString &key) const
{
    return objectForKey(key).toDouble();
}

QVariantList UserDefaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList
               ? value.toList()
               : QVariantList();
}

QVariantMap UserDefaults::dictionaryForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

bool UserDefaults::synchronize()
{
    std::lock_guard lock(mutex_);
    // QSettings keeps its first error for good, so its status cannot tell whether this write went
    // through: the writer's own verdict does.
    lastWriteSucceeded = true;
    settings_->sync();
    return lastWriteSucceeded;
}
