#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The root's stored code ("nl/dalmerik/vorn/VornProcedure"): the source of the function, procedure or
// package the browser loaded, as stored and as edited, its build warnings, and a run with input values.
// Actions (commit, execute, member choice) report their outcome on the root. Virtual for the fake.
class VornProcedureClient
{
public:
    explicit VornProcedureClient(QoJavaObjectPtr procedure);
    VornProcedureClient(const VornProcedureClient &) = delete;
    VornProcedureClient &operator=(const VornProcedureClient &) = delete;
    virtual ~VornProcedureClient();

    virtual QString name() const;
    virtual bool supportSourceEdit() const;
    virtual QString getSource() const;
    virtual QString getBodySource() const;
    virtual void updateSource(const QString &text);
    virtual void updateBodySource(const QString &text);
    virtual bool sourceIsDirty() const;
    virtual void commitSource();
    virtual void revert();
    // Each warning a map with at least "position" ("line:column") and "message".
    virtual QVariantList getWarnings() const;

    virtual bool isFunction() const;
    virtual bool isProcedure() const;
    virtual bool isPackage() const;
    virtual bool isPackageFunction() const;
    virtual bool isPackageProcedure() const;
    virtual QStringList getPackageProcedures() const;
    virtual QString getSelectedPackageProcedure() const;
    virtual void setSelectedPackageProcedure(const QString &member);

    // One map per parameter in call order, each with "name".
    virtual QVariantList inputOutputColumns() const;
    virtual bool isInputColumn(int index) const;
    virtual bool isOutputColumn(int index) const;
    virtual bool isReturnColumn(int index) const;
    virtual void setValueForColumn(int index, const QVariant &value);
    virtual void doExecute();
    // Null when the run gave no value.
    virtual QVariant value(int index) const;
    virtual bool running() const;
    virtual bool cancelling() const;
    virtual void cancelQuery();

protected:
    VornProcedureClient();

private:
    bool ask(const char *selector, const QVariantList &args = {}) const;
    QString text(const char *selector) const;

    QoJavaObjectPtr procedure_;
};
