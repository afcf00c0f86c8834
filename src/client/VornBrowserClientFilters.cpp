#include "client/VornBrowserClient.h"

#include "client/JavaCall.h"

// The quick filter, sort and stored filters of the browser's loaded object.

namespace
{
QVariantList javaSorts(const QList<VornSort> &sort)
{
    QVariantList sorts;
    for (const VornSort &one : sort)
        sorts.append(QVariant::fromValue(one.toJava()));
    return sorts;
}

QVariant orNull(const QString &text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}
} // namespace

bool VornBrowserClient::needsUpdateForQuickFilter(const QVariantList &columns, const QVariantList &operators,
                                                  const QVariantList &values)
{
    return JavaCall::send(browser_, QStringLiteral("needsUpdateForQuickFilter:::"),
                          {columns, operators, values})
        .toBool();
}

void VornBrowserClient::updateQuickFilter(const QVariantList &columns, const QVariantList &operators,
                                          const QVariantList &values)
{
    JavaCall::takeFailure(); // the outcome is this load's alone
    JavaCall::send(browser_, QStringLiteral("updateQuickFilter:::"), {columns, operators, values});
}

void VornBrowserClient::updateSort(const QList<VornSort> &sort)
{
    JavaCall::takeFailure();
    JavaCall::send(browser_, QStringLiteral("updateSort:"), QVariantList{QVariant(javaSorts(sort))});
}

void VornBrowserClient::updateFilterAndSort(const QString &filter, const QList<VornSort> &sort)
{
    JavaCall::takeFailure();
    JavaCall::send(browser_, QStringLiteral("updateFilterAndSort::"),
                   {orNull(filter), QVariant(javaSorts(sort))});
}

QString VornBrowserClient::lastFilterUsedForQuickFilter() const
{
    return JavaCall::send(browser_, QStringLiteral("lastFilterUsedForQuickFilter")).toString();
}

bool VornBrowserClient::isNumberCompleteOrEmpty(const QString &value) const
{
    return JavaCall::send(browser_, QStringLiteral("isNumberCompleteOrEmpty:"), {value}).toBool();
}

bool VornBrowserClient::isTimestampCompleteOrEmpty(const QString &value) const
{
    return JavaCall::send(browser_, QStringLiteral("isTimestampCompleteOrEmpty:"), {value}).toBool();
}

QString VornBrowserClient::currentStoredFilter() const
{
    return JavaCall::send(browser_, QStringLiteral("currentStoredFilter")).toString();
}

QStringList VornBrowserClient::getCompatibleStoredFiltersNames() const
{
    return JavaCall::strings(JavaCall::send(browser_, QStringLiteral("getCompatibleStoredFiltersNames")));
}

bool VornBrowserClient::currentFilterContainsChanges() const
{
    return JavaCall::send(browser_, QStringLiteral("currentFilterContainsChanges")).toBool();
}

BackendOutcome VornBrowserClient::storeFilter(const QString &name)
{
    return outcomeOf(QStringLiteral("storeFilter:"), {name});
}

BackendOutcome VornBrowserClient::updateCompatibleFilterName(const QString &name, const QString &newName)
{
    return outcomeOf(QStringLiteral("updateCompatibleFilterName::"), {name, newName});
}

BackendOutcome VornBrowserClient::removeCompatibleFilter(const QString &name)
{
    return outcomeOf(QStringLiteral("removeCompatibleFilter:"), {name});
}

BackendOutcome VornBrowserClient::overwriteCurrentFilter()
{
    return outcomeOf(QStringLiteral("overwriteCurrentFilter"), {});
}

void VornBrowserClient::loadStoredFilter(const QString &name)
{
    JavaCall::takeFailure();
    JavaCall::send(browser_, QStringLiteral("loadStoredFilter:"), {name});
}
