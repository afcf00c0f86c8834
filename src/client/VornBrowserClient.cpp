#include "client/VornBrowserClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

VornBrowserClient::VornBrowserClient(QoJavaObjectPtr browser) : browser_(std::move(browser)) {}
VornBrowserClient::VornBrowserClient() = default;
VornBrowserClient::~VornBrowserClient() = default;

QVariantList VornBrowserClient::list(const char *selector) const
{
    return JavaUtils::recursiveCollectionsFromJavaObject(
               JavaCall::send(browser_, QString::fromLatin1(selector)))
        .toList();
}

QString VornBrowserClient::selectedSchema() const
{
    return JavaCall::send(browser_, QStringLiteral("selectedSchema")).toString();
}

void VornBrowserClient::refresh()
{
    JavaCall::takeFailure(); // the outcome is this refresh's alone
    JavaCall::send(browser_, QStringLiteral("refresh"));
}

QString VornBrowserClient::name() const
{
    return JavaCall::send(browser_, QStringLiteral("name")).toString();
}

QString VornBrowserClient::schema() const
{
    return JavaCall::send(browser_, QStringLiteral("schema")).toString();
}

QString VornBrowserClient::type() const
{
    return JavaCall::send(browser_, QStringLiteral("type")).toString();
}

QString VornBrowserClient::filter() const
{
    return JavaCall::send(browser_, QStringLiteral("filter")).toString();
}

QList<VornSort> VornBrowserClient::sort() const
{
    return VornSort::fromJavaVector(JavaCall::object(browser_, QStringLiteral("sort")));
}

QVariantList VornBrowserClient::quickFilterColumnInfo() const
{
    return list("quickFilterColumnInfo");
}

QVariantList VornBrowserClient::quickFilterColumns() const
{
    return list("quickFilterColumns");
}

QVariantList VornBrowserClient::quickFilterOperators() const
{
    return list("quickFilterOperators");
}

std::optional<QVariantList> VornBrowserClient::quickFilterValues() const
{
    const QVariant values = JavaCall::send(browser_, QStringLiteral("quickFilterValues"));
    if (!values.isValid())
        return std::nullopt;
    return JavaUtils::recursiveCollectionsFromJavaObject(values).toList();
}

VornInfoClientPtr VornBrowserClient::elementDescription(const QString &schema, const QString &type,
                                                        const QString &name)
{
    QoJavaObjectPtr info =
        JavaCall::object(browser_, QStringLiteral("elementDescription:::"), {schema, type, name});
    return info ? std::make_shared<VornInfoClient>(std::move(info)) : nullptr;
}

VornInfoClientPtr VornBrowserClient::elementDescriptionForReferringElement(const QString &schema,
                                                                           const QString &type,
                                                                           const QString &name)
{
    QoJavaObjectPtr info = JavaCall::object(
        browser_, QStringLiteral("elementDescriptionForReferringElement:::"), {schema, type, name});
    return info ? std::make_shared<VornInfoClient>(std::move(info)) : nullptr;
}
