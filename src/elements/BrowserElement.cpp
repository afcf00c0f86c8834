#include "elements/BrowserElement.h"

#include <QHash>
#include <QStringView>

#include <QLoggingCategory>
#include <algorithm>

namespace
{
Q_LOGGING_CATEGORY(elementLog, "vorn.browserelement")

const QString versionTag = QStringLiteral("BrowserElementV1");
// Written only for elements whose fields hold the separator: its fields escape "\\" and "^".
const QString escapedVersionTag = QStringLiteral("BrowserElementV2");
const QString separator = QStringLiteral("^!^!");
// What the identifier holds in place of a missing field.
const QString nullPlaceholder = QStringLiteral("(null)");
// Our own archive of an element: a tag and a version ahead of the five fields.
const quint32 archiveTag = 0x56424531; // "VBE1"
const quint32 archiveVersion = 1;

QString fieldText(const QString &field)
{
    return field.isNull() ? nullPlaceholder : field;
}

QString escapedField(const QString &field)
{
    QString escaped = fieldText(field);
    return escaped.replace('\\', QLatin1String("\\\\")).replace('^', QLatin1String("\\^"));
}

// The fields of an escaped identifier, split at every separator that is not escaped.
QStringList escapedFields(const QString &identifier)
{
    QStringList fields;
    QString field;
    for (qsizetype i = 0; i < identifier.size(); ++i) {
        if (identifier[i] == '\\' && i + 1 < identifier.size()) {
            field.append(identifier[++i]);
        } else if (QStringView(identifier).mid(i).startsWith(separator)) {
            fields.append(field);
            field.clear();
            i += separator.size() - 1;
        } else {
            field.append(identifier[i]);
        }
    }
    fields.append(field);
    return fields;
}

// The leading decimal integer of the text (an optional sign, then digits); 0 when there is none.
qint64 leadingInteger(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == '-' || trimmed[end] == '+'))
        ++end;
    while (end < trimmed.size() && trimmed[end].isDigit())
        ++end;
    bool ok = false;
    const qint64 value = trimmed.left(end).toLongLong(&ok);
    return ok ? value : 0;
}
} // namespace

BrowserElement::BrowserElement(QString name, QString schema, QString type, qint64 browserType,
                               QString subtype)
    : name_(std::move(name)), schema_(std::move(schema)), type_(std::move(type)),
      subtype_(std::move(subtype)), browserType_(browserType)
{
}

qint64 BrowserElement::browserTypeForType(const QString &type)
{
    static const QHash<QString, qint64> types = {
        {"TABLE", Table},     {"SYSTEM TABLE", Table},    {"VIEW", View},           {"SYSTEM VIEW", View},
        {"INDEX", Index},     {"CONSTRAINT", Constraint}, {"PROCEDURE", Procedure}, {"FUNCTION", Function},
        {"TRIGGER", Trigger}, {"SEQUENCE", Sequence},     {"SYNONYM", Synonym},     {"PACKAGE", Package},
    };
    return types.value(type, Other);
}

QString BrowserElement::serializableIdentifier() const
{
    const QStringList fields{name_, schema_, type_, subtype_};
    if (std::any_of(fields.cbegin(), fields.cend(),
                    [](const QString &field) { return field.contains(separator); })) {
        QStringList escaped{escapedVersionTag};
        for (const QString &field : fields)
            escaped.append(escapedField(field));
        escaped.append(QString::number(browserType_));
        return escaped.join(separator);
    }
    return QStringList{versionTag,       fieldText(name_),    fieldText(schema_),
                       fieldText(type_), fieldText(subtype_), QString::number(browserType_)}
        .join(separator);
}

BrowserElementPtr BrowserElement::elementForIdentifier(const QString &identifier)
{
    const bool escaped = identifier.startsWith(escapedVersionTag + separator);
    const QStringList parts = escaped ? escapedFields(identifier) : identifier.split(separator);
    if (parts.first() != versionTag && !escaped) {
        qCWarning(elementLog, "WARNING Unknown BrowserElementV1 serialization");
        return nullptr;
    }
    // A field holding the separator itself cannot be told apart from the others.
    if (parts.size() != 6) {
        qCWarning(elementLog) << "WARNING Malformed BrowserElementV1 serialization" << identifier;
        return nullptr;
    }
    auto element = std::make_shared<BrowserElement>(parts[1], parts[2], parts[3], leadingInteger(parts[5]),
                                                    parts[4] == nullPlaceholder ? QString() : parts[4]);
    return element;
}

BrowserElementPtr BrowserElement::favouriteElementForIdentifier(const QString &identifier)
{
    BrowserElementPtr element = elementForIdentifier(identifier);
    if (element)
        element->setFavoriteItem(true);
    return element;
}

BrowserElementPtr BrowserElement::plainCopy() const
{
    return std::make_shared<BrowserElement>(name_, schema_, type_, browserType_, subtype_);
}

BrowserElementPtr BrowserElement::cloneForHistory(const BrowserElementPtr &self) const
{
    Q_ASSERT_X(self.get() == this, "BrowserElement", "cloneForHistory needs the element's own pointer");
    if (historyItem_)
        return self;
    BrowserElementPtr copy = plainCopy();
    copy->setHistoryItem(true);
    return copy;
}

BrowserElementPtr BrowserElement::cloneForFavorite(const BrowserElementPtr &self) const
{
    Q_ASSERT_X(self.get() == this, "BrowserElement", "cloneForFavorite needs the element's own pointer");
    if (favoriteItem_)
        return self;
    BrowserElementPtr copy = plainCopy();
    copy->setFavoriteItem(true);
    return copy;
}

bool BrowserElement::isSameDatabaseElement(const BrowserElement &other) const
{
    const auto same = [](const QString &a, const QString &b) { return !a.isNull() && !b.isNull() && a == b; };
    return same(name_, other.name_) && same(type_, other.type_) && same(schema_, other.schema_);
}

int BrowserElement::compare(const BrowserElement &other) const
{
    return name_.compare(other.name_, Qt::CaseSensitive);
}

void BrowserElement::encode(QDataStream &out) const
{
    out << archiveTag << archiveVersion << name_ << schema_ << type_ << subtype_ << browserType_;
}

BrowserElementPtr BrowserElement::decode(QDataStream &in)
{
    quint32 tag = 0;
    quint32 version = 0;
    in >> tag >> version;
    if (in.status() != QDataStream::Ok || tag != archiveTag || version != archiveVersion) {
        in.setStatus(QDataStream::ReadCorruptData);
        return nullptr;
    }
    auto element = std::make_shared<BrowserElement>();
    in >> element->name_ >> element->schema_ >> element->type_ >> element->subtype_ >> element->browserType_;
    if (in.status() != QDataStream::Ok)
        return nullptr;
    return element;
}
