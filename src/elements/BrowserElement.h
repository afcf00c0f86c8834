#pragma once

#include <QDataStream>
#include <QString>
#include <QVariantMap>

#include <memory>

class BrowserElement;
using BrowserElementPtr = std::shared_ptr<BrowserElement>;

// One schema object, management item, session or statement result: a plain value without a
// connection. Elements have no value equality (two objects are the same element only when they are
// the same object); isSameDatabaseElement compares the database object they name.
class BrowserElement
{
public:
    enum BrowserType : qint64 {
        Other = -1,
        Table = 0,
        View = 1,
        Index = 2,
        Constraint = 3,
        Procedure = 4,
        Function = 5,
        Trigger = 6,
        Sequence = 7,
        Synonym = 8,
        StatementResult = 9,
        Package = 10,
        ManagementActivity = 20,
        ManagementDatabase = 21,
        ManagementObjects = 22,
        Session = 23,
    };

    BrowserElement() = default;
    BrowserElement(QString name, QString schema, QString type, qint64 browserType, QString subtype = {});
    virtual ~BrowserElement() = default;
    BrowserElement(const BrowserElement &) = delete;
    BrowserElement &operator=(const BrowserElement &) = delete;

    // The browser type of an object-type literal as the backend reports it.
    static qint64 browserTypeForType(const QString &type);

    // "BrowserElementV1^!^!name^!^!schema^!^!type^!^!subtype^!^!browserType"; a missing field is
    // written as "(null)". A stored format: favourites, recent drops and restorable state hold it.
    QString serializableIdentifier() const;
    // Null (and a log line) for an identifier of another version or of the wrong shape.
    static BrowserElementPtr elementForIdentifier(const QString &identifier);
    static BrowserElementPtr favouriteElementForIdentifier(const QString &identifier);

    // The copy kept in the recent list (the receiver when it already is one).
    BrowserElementPtr cloneForHistory(const BrowserElementPtr &self) const;
    // The copy kept in the favourites (the receiver when it already is one).
    BrowserElementPtr cloneForFavorite(const BrowserElementPtr &self) const;
    // Same name, type and schema, compared exactly; a missing field never matches.
    bool isSameDatabaseElement(const BrowserElement &other) const;
    // Orders by name, case-sensitively.
    int compare(const BrowserElement &other) const;

    // Name, schema, type, subtype and browser type; nothing else travels.
    void encode(QDataStream &out) const;
    static BrowserElementPtr decode(QDataStream &in);

    QString name() const { return name_; }
    void setName(const QString &name) { name_ = name; }
    QString schema() const { return schema_; }
    void setSchema(const QString &schema) { schema_ = schema; }
    QString type() const { return type_; }
    void setType(const QString &type) { type_ = type; }
    QString subtype() const { return subtype_; }
    void setSubtype(const QString &subtype) { subtype_ = subtype; }
    QVariantMap options() const { return options_; }
    void setOptions(const QVariantMap &options) { options_ = options; }
    qint64 browserType() const { return browserType_; }
    void setBrowserType(qint64 browserType) { browserType_ = browserType; }
    bool historyItem() const { return historyItem_; }
    void setHistoryItem(bool historyItem) { historyItem_ = historyItem; }
    bool favoriteItem() const { return favoriteItem_; }
    void setFavoriteItem(bool favoriteItem) { favoriteItem_ = favoriteItem; }

private:
    BrowserElementPtr plainCopy() const;

    QString name_;
    QString schema_;
    QString type_;
    QString subtype_;
    QVariantMap options_;
    qint64 browserType_ = Table;
    bool historyItem_ = false;
    bool favoriteItem_ = false;
};
