#include "client/VornProcedureClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

namespace
{
QString s(const char *selector)
{
    return QString::fromLatin1(selector);
}
} // namespace

VornProcedureClient::VornProcedureClient(QoJavaObjectPtr procedure) : procedure_(std::move(procedure)) {}
VornProcedureClient::VornProcedureClient() = default;
VornProcedureClient::~VornProcedureClient() = default;

bool VornProcedureClient::ask(const char *selector, const QVariantList &args) const
{
    return JavaCall::send(procedure_, s(selector), args).toBool();
}

QString VornProcedureClient::text(const char *selector) const
{
    return JavaCall::send(procedure_, s(selector)).toString();
}

QString VornProcedureClient::name() const
{
    return text("name");
}

bool VornProcedureClient::supportSourceEdit() const
{
    return ask("supportSourceEdit");
}

QString VornProcedureClient::getSource() const
{
    return text("getSource");
}

QString VornProcedureClient::getBodySource() const
{
    return text("getBodySource");
}

void VornProcedureClient::updateSource(const QString &text)
{
    JavaCall::send(procedure_, s("updateSource:"), {text});
}

void VornProcedureClient::updateBodySource(const QString &text)
{
    JavaCall::send(procedure_, s("updateBodySource:"), {text});
}

bool VornProcedureClient::sourceIsDirty() const
{
    return ask("sourceIsDirty");
}

void VornProcedureClient::commitSource()
{
    JavaCall::takeFailure(); // the outcome is this build's alone
    JavaCall::send(procedure_, s("commitSource"));
}

void VornProcedureClient::revert()
{
    JavaCall::send(procedure_, s("revert"));
}

QVariantList VornProcedureClient::getWarnings() const
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(procedure_, s("getWarnings")))
        .toList();
}

bool VornProcedureClient::isFunction() const
{
    return ask("isFunction");
}

bool VornProcedureClient::isProcedure() const
{
    return ask("isProcedure");
}

bool VornProcedureClient::isPackage() const
{
    return ask("isPackage");
}

bool VornProcedureClient::isPackageFunction() const
{
    return ask("isPackageFunction");
}

bool VornProcedureClient::isPackageProcedure() const
{
    return ask("isPackageProcedure");
}

QStringList VornProcedureClient::getPackageProcedures() const
{
    return JavaCall::strings(JavaCall::send(procedure_, s("getPackageProcedures")));
}

QString VornProcedureClient::getSelectedPackageProcedure() const
{
    return text("getSelectedPackageProcedure");
}

void VornProcedureClient::setSelectedPackageProcedure(const QString &member)
{
    JavaCall::takeFailure();
    JavaCall::send(procedure_, s("setSelectedPackageProcedure:"), {member});
}

QVariantList VornProcedureClient::inputOutputColumns() const
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(procedure_, s("inputOutputColumns")))
        .toList();
}

bool VornProcedureClient::isInputColumn(int index) const
{
    return ask("isInputColumn:", {index});
}

bool VornProcedureClient::isOutputColumn(int index) const
{
    return ask("isOutputColumn:", {index});
}

bool VornProcedureClient::isReturnColumn(int index) const
{
    return ask("isReturnColumn:", {index});
}

void VornProcedureClient::setValueForColumn(int index, const QVariant &value)
{
    JavaCall::send(procedure_, s("setValueForColumn::"), {index, value});
}

void VornProcedureClient::doExecute()
{
    JavaCall::takeFailure(); // the outcome is this run's alone
    JavaCall::send(procedure_, s("doExecute"));
}

QVariant VornProcedureClient::value(int index) const
{
    return JavaCall::send(procedure_, s("value:"), {index});
}

bool VornProcedureClient::running() const
{
    return ask("running");
}

bool VornProcedureClient::cancelling() const
{
    return ask("cancelling");
}

void VornProcedureClient::cancelQuery()
{
    JavaCall::send(procedure_, s("cancelQuery"));
}
