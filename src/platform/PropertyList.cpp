#include "platform/PropertyList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace PropertyList
{
namespace
{

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime &referenceDate()
{
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return epoch;
}

struct PlistDeleter {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Malloced = std::unique_ptr<T, MallocDeleter>;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QVariant toVariant(plist_t node);

QVariant dictToVariant(plist_t node)
{
    QVariantMap map;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    Malloced<void> iterOwner(iter);
    for (;;) {
        char *rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &rawKey, &value);
        Malloced<char> key(rawKey);
        if (!value)
            break;
        map.insert(QString::fromUtf8(key.get()), toVariant(value));
    }
    return map;
}

QVariant arrayToVariant(plist_t node)
{
    QVariantList list;
    const uint32_t count = plist_array_get_size(node);
    list.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        list.append(toVariant(plist_array_get_item(node, i)));
    return list;
}

QVariant scalarToVariant(plist_t node, plist_type type)
{
    switch (type) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        // Negative integers are kept in two's complement.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return qint64(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        char *raw = nullptr;
        plist_get_string_val(node, &raw);
        Malloced<char> text(raw);
        return QString::fromUtf8(text.get());
    }
    case PLIST_DATA: {
        char *raw = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &raw, &length);
        Malloced<char> data(raw);
        return QByteArray(data.get(), qsizetype(length));
    }
    case PLIST_DATE: {
        int32_t sec = 0;
        int32_t usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return referenceDate().addMSecs(qint64(sec) * 1000 + usec / 1000);
    }
    default:
        return {};
    }
}

QVariant toVariant(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    if (type == PLIST_DICT)
        return dictToVariant(node);
    if (type == PLIST_ARRAY)
        return arrayToVariant(node);
    return scalarToVariant(node, type);
}

plist_t fromVariant(const QVariant &value);

plist_t mapToNode(const QVariantMap &map)
{
    PlistPtr dict(plist_new_dict());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        plist_t item = fromVariant(it.value());
        if (!item)
            return nullptr;
        plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), item);
    }
    return dict.release();
}

plist_t listToNode(const QVariantList &list)
{
    PlistPtr array(plist_new_array());
    for (const QVariant &value : list) {
        plist_t item = fromVariant(value);
        if (!item)
            return nullptr;
        plist_array_append_item(array.get(), item);
    }
    return array.release();
}

plist_t dateToNode(const QDateTime &date)
{
    const qint64 msecs = referenceDate().msecsTo(date);
    qint64 sec = msecs / 1000;
    qint64 msec = msecs % 1000;
    if (msec < 0) {
        sec -= 1;
        msec += 1000;
    }
    return plist_new_date(int32_t(sec), int32_t(msec * 1000));
}

plist_t fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap:
        return mapToNode(value.toMap());
    case QMetaType::QVariantHash: {
        const QVariantHash hash = value.toHash();
        QVariantMap map;
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            map.insert(it.key(), it.value());
        return mapToNode(map);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return listToNode(value.toList());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return plist_new_data(data.constData(), uint64_t(data.size()));
    }
    case QMetaType::QDateTime:
        return dateToNode(value.toDateTime());
    default:
        return nullptr;
    }
}

QString tr(const char *text)
{
    return QCoreApplication::translate("PropertyList", text);
}

} // namespace

QVariant fromData(const QByteArray &xmlOrBinary, QString *error)
{
    if (xmlOrBinary.isEmpty() || xmlOrBinary.size() > std::numeric_limits<int32_t>::max()) {
        setError(error, tr("The property list is empty or too large."));
        return {};
    }
    plist_t root = nullptr;
    plist_from_memory(xmlOrBinary.constData(), uint32_t(xmlOrBinary.size()), &root);
    PlistPtr owner(root);
    if (!root) {
        setError(error, tr("The data is not a valid property list."));
        return {};
    }
    return toVariant(root);
}

QVariant readFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, tr("Could not read “%1”: %2").arg(path, file.errorString()));
        return {};
    }
    QString parseError;
    const QVariant value = fromData(file.readAll(), &parseError);
    if (!value.isValid())
        setError(error, tr("Could not read “%1”: %2").arg(path, parseError));
    return value;
}

QByteArray toXml(const QVariant &value)
{
    PlistPtr root(fromVariant(value));
    if (!root)
        return {};
    char *raw = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &raw, &length);
    Malloced<char> xml(raw);
    return QByteArray(xml.get(), qsizetype(length));
}

bool writeFile(const QVariant &value, const QString &path, QString *error)
{
    const QByteArray xml = toXml(value);
    if (xml.isEmpty()) {
        setError(error, tr("The value cannot be stored in a property list."));
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        setError(error, tr("Could not create the folder “%1”.").arg(folder));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        setError(error, tr("Could not write “%1”: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace PropertyList
