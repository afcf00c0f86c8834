#include "browser/SessionPages.h"

#include "bridge/QoJavaObject.h"
#include "browser/InfoContentBuilders.h"
#include "browser/InfoText.h"
#include "kit/FormatUtils.h"

#include <QSet>

namespace
{
using Group = InfoItemGroup;

const QString groupNameKey = QStringLiteral("GROUP_NAME");

// How the page's query reads its rows.
struct PageForm {
    QString type;
    QStringList secondColumns;
    QStringList percentageColumns;
    QStringList autoGroupKeys;
    bool autoGrouped = false;
    QString groupTitle;
    QString groupSubtitle;

    explicit PageForm(const QVariantMap &info)
        : type(info.value("type").toString()), secondColumns(info.value("secondColumns").toStringList()),
          percentageColumns(info.value("percentageColumns").toStringList()),
          autoGroupKeys(info.value("autoGroupKeys").toStringList()),
          autoGrouped(info.contains("autoGroupKeys")), groupTitle(info.value("groupTitle").toString()),
          groupSubtitle(info.value("groupSubtitle").toString())
    {
    }

    // The title and subtitle columns of automatic groups head the group instead of being lines.
    bool picksOut(const QString &column) const
    {
        return autoGrouped && !column.isEmpty() && (column == groupTitle || column == groupSubtitle);
    }
    bool transposed() const { return type == QLatin1String("transpose"); }
    bool concatenated() const { return type == QLatin1String("concatenate"); }

    // The value as the page shows it; null for a value that has no text form (a binary object).
    QString shown(const QString &column, const QVariant &value) const
    {
        if (value.metaType() == QMetaType::fromType<QoJavaObjectPtr>())
            return QString();
        if (!value.isValid() || value.isNull())
            return QStringLiteral("");
        if (secondColumns.contains(column))
            return FormatUtils::timeText(value.toDouble());
        if (percentageColumns.contains(column))
            return QStringLiteral("%1 %").arg(value.toString());
        return value.toString();
    }
};

// The page's groups before their rows: automatic ones per row, the listed ones, or one without a name.
QList<QVariantMap> groupDefinitions(const QVariantMap &info, const PageForm &form, const QVariantList &rows)
{
    QList<QVariantMap> definitions;
    if (form.type == QLatin1String("transpose_autogroup") && !rows.isEmpty()) {
        for (const QVariant &row : rows)
            definitions.append({{"name", row.toMap().value(groupNameKey)}, {"columns", form.autoGroupKeys}});
    } else {
        for (const QVariant &group : info.value("groups").toList())
            definitions.append(group.toMap());
    }
    if (definitions.isEmpty())
        definitions.append(QVariantMap());
    return definitions;
}

Group transposedGroup(const QVariantMap &definition, const PageForm &form, const QVariantList &rows)
{
    const QStringList columns = definition.value("columns").toStringList();
    const bool listed = definition.contains("columns");
    Group group = Group::groupWithTitle(definition.value("name").toString(), {});
    for (const QVariant &rowValue : rows) {
        const QVariantMap row = rowValue.toMap();
        const QString name = row.value("name").toString();
        const QString value = form.shown(name, row.value("value"));
        if (value.isNull() || (listed && !columns.contains(name)))
            continue;
        group.items.append(InfoItem::itemWithNameValue(name, value));
    }
    return group;
}

Group rowGroup(const QVariantMap &definition, const PageForm &form, const QVariantList &rows)
{
    const QString name = definition.value("name").toString();
    const bool listed = definition.contains("columns");
    QString title;
    QString subtitle;
    QList<InfoItem> items;
    QString joined;
    for (const QVariant &rowValue : rows) {
        const QVariantMap row = rowValue.toMap();
        if (form.autoGrouped && row.value(groupNameKey).toString() != name)
            continue;
        const QStringList keys = listed ? definition.value("columns").toStringList() : row.keys();
        for (const QString &key : keys) {
            if (form.picksOut(key))
                continue;
            const QString value = form.shown(key, row.value(key));
            if (value.isNull())
                continue;
            if (form.concatenated())
                joined += value;
            else
                items.append(InfoItem::itemWithNameValue(key, value));
        }
    }
    if (form.autoGrouped) {
        for (const QVariant &rowValue : rows) {
            const QVariantMap row = rowValue.toMap();
            if (row.value(groupNameKey).toString() != name)
                continue;
            if (!form.groupTitle.isEmpty() && row.contains(form.groupTitle))
                title = row.value(form.groupTitle).toString();
            if (!form.groupSubtitle.isEmpty() && row.contains(form.groupSubtitle))
                subtitle = row.value(form.groupSubtitle).toString();
            break;
        }
    }
    if (form.concatenated())
        items = {InfoItem::itemWithNameValue(QString(), joined)};
    if (!subtitle.isEmpty())
        items = QList<InfoItem>{InfoItem::itemWithNameValue(QString(), subtitle),
                                InfoItem::itemWithNameValue(QString(), QStringLiteral(""))} +
                items;
    return Group::groupWithTitle(title.isEmpty() ? name : title, items,
                                 form.concatenated() ? qint64(Group::WrapValue) : qint64(0));
}
} // namespace

qint64 SessionPages::sectionType(const QString &entryType)
{
    if (entryType == QLatin1String("InfoSessionTypeGeneral"))
        return InfoItemSection::General;
    if (entryType == QLatin1String("InfoSessionTypeSql"))
        return InfoItemSection::CurrentSql;
    if (entryType == QLatin1String("InfoSessionTypeLocks"))
        return InfoItemSection::Locks;
    if (entryType == QLatin1String("InfoSessionTypeLongOps"))
        return InfoItemSection::LongOperations;
    return 0;
}

QString SessionPages::placeholderTitle(qint64 sectionType)
{
    switch (sectionType) {
    case InfoItemSection::CurrentSql:
        return infoText("Current SQL");
    case InfoItemSection::Locks:
        return infoText("Locks");
    case InfoItemSection::LongOperations:
        return infoText("Long Operations");
    default:
        return infoText("General");
    }
}

QString SessionPages::notFoundText(qint64 sectionType)
{
    switch (sectionType) {
    case InfoItemSection::Locks:
        return infoText("No Lock information could be found.");
    case InfoItemSection::CurrentSql:
        return infoText("No SQL information could be found.");
    case InfoItemSection::LongOperations:
        return infoText("No Long Operation information could be found.");
    default:
        return infoText(
            "No session information could be found, this could mean that the session no longer exists.");
    }
}

QString SessionPages::identifierText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    // A whole number that arrives as a floating-point value keeps its digits, never an exponent.
    if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float) {
        const double number = value.toDouble();
        if (number == double(qint64(number)))
            return QString::number(qint64(number));
    }
    return value.toString();
}

QString SessionPages::sessionName(const QString &connectionType, const QString &firstIdentifier)
{
    if (connectionType == QLatin1String("MySQL") || connectionType == QLatin1String("PostgreSQL"))
        return infoText("Process: %1").arg(firstIdentifier);
    return infoText("Session: %1").arg(firstIdentifier);
}

void SessionPages::numberRepeatedGroupNames(QVariantList &rows)
{
    QSet<QString> used;
    for (QVariant &rowValue : rows) {
        QVariantMap row = rowValue.toMap();
        const QString name = row.value(groupNameKey).toString();
        QString unique = name;
        for (int number = 2; used.contains(unique); ++number)
            unique = QStringLiteral("%1 %2").arg(name).arg(number);
        used.insert(unique);
        if (unique != name) {
            row.insert(groupNameKey, unique);
            rowValue = row;
        }
    }
}

QList<InfoItemGroup> SessionPages::groups(const QVariantMap &info, const std::optional<QVariantList> &rows,
                                          const QVariantList &actions, const QStringList &sessionIdentifier,
                                          qint64 sectionType)
{
    if (!rows || rows->isEmpty())
        return {InfoContentBuilders::textGroup(notFoundText(sectionType))};
    const PageForm form(info);
    QVariantList pageRows = *rows;
    if (form.type == QLatin1String("transpose_autogroup"))
        numberRepeatedGroupNames(pageRows);
    QList<InfoItemGroup> groups;
    for (const QVariantMap &definition : groupDefinitions(info, form, pageRows))
        groups.append(form.transposed() ? transposedGroup(definition, form, pageRows)
                                        : rowGroup(definition, form, pageRows));
    if (!actions.isEmpty()) {
        Group actionGroup = Group::groupWithTitle(infoText("Actions"), {});
        for (const QVariant &actionValue : actions) {
            QVariantMap action = actionValue.toMap();
            action.insert("sessionIdentifier", sessionIdentifier);
            InfoItem item = InfoItem::itemWithNameValue(action.value("name").toString(), QStringLiteral(""));
            item.actionRefer = action;
            actionGroup.items.append(item);
        }
        groups.append(actionGroup);
    }
    return groups;
}
