#include "browser/BrowserElementLoader.h"

#include "client/VornBrowserClient.h"

namespace
{

const QString managementSubtype = QStringLiteral("MANAGEMENT");
const QString customFilter = QStringLiteral("__CUSTOM_FILTER__");

QStringList strings(const QVariantList &values)
{
    QStringList list;
    for (const QVariant &value : values)
        list.append(value.toString());
    return list;
}

// One value as itself, two or more as a list, none as NULL.
QVariant filterValues(const QStringList &values)
{
    if (values.size() == 1)
        return values.first();
    if (values.size() > 1)
        return values;
    return QVariant();
}

} // namespace

BackendOutcome BrowserElementLoader::load(VornBrowserClient &browser,
                                          const BrowserControllerLoadingElement &request)
{
    const BrowserElementPtr element = request.element();
    if (element->subtype() == managementSubtype)
        return loadManagementView(browser, request);
    const QString schema = element->schema();
    const QString type = element->type();
    const QString name = element->name();
    if (const ExtendedFilterPtr quick = request.extendedFilter())
        return browser.selectElementWithQuickFiltersAndSort(
            schema, type, name, strings(quick->quickFilterColumns()), strings(quick->quickFilterOperators()),
            quick->quickFilterValues(), quick->quickFilterSort());
    const FilterPtr filter = request.filter();
    if (!filter || filter->columnName().isNull())
        return browser.selectElement(schema, type, name);
    return browser.selectElementWithFilter(schema, type, name, filter->columnName(),
                                           filterValues(filter->values()), filter->isNot());
}

BackendOutcome BrowserElementLoader::loadManagementView(VornBrowserClient &browser,
                                                        const BrowserControllerLoadingElement &request)
{
    const BrowserElementPtr element = request.element();
    const QVariantMap options = element->options();
    const QString type = element->type();
    const QString query = options.value(QStringLiteral("query")).toString();
    if (const ExtendedFilterPtr quick = request.extendedFilter())
        return browser.selectElementWithQuickFiltersAndSort(
            managementSchema, type, query, strings(quick->quickFilterColumns()),
            strings(quick->quickFilterOperators()), quick->quickFilterValues(), quick->quickFilterSort());
    if (request.carriesFilter())
        return browser.selectElementWithQuickFiltersAndSort(managementSchema, type, query, {}, {}, {}, {});
    if (browser.previousStateHadFilterOrSort(managementSchema, type, query))
        return browser.selectElement(managementSchema, type, query);
    QList<VornSort> sort;
    if (options.contains(QStringLiteral("sort"))) {
        const QVariant direction = options.value(QStringLiteral("sortDirection"));
        const bool ascending = direction.isValid() && direction.toString() != QLatin1String("DESC");
        sort.append(VornSort{options.value(QStringLiteral("sort")).toString(),
                             ascending ? QStringLiteral("ASC") : QStringLiteral("DESC")});
    }
    QStringList columns;
    QStringList operators;
    QVariantList values;
    for (const QVariant &option : options.value(QStringLiteral("defaultOptions")).toList()) {
        columns.append(customFilter);
        operators.append(customFilter);
        values.append(option);
    }
    return browser.selectElementWithQuickFiltersAndSort(managementSchema, type, query, columns, operators,
                                                        values, sort);
}

bool BrowserElementLoader::retriesWithoutFilter(const BrowserControllerLoadingElement &request,
                                                const QString &message)
{
    const bool invalidInput =
        message == QLatin1String("INVALID_INPUT") || message.contains(QLatin1String("Unparseable date"));
    return invalidInput && request.carriesFilter() && request.element()->subtype() != managementSubtype;
}
