#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QVariantMap>

// The root's analyser ("nl/dalmerik/vorn/VornAnalyser"): execution plans of single statements, which the
// database explains without running them. Called from the worker that holds the root; each action's
// outcome is the root's lastOutcome(). Virtual for the fake.
class VornAnalyserClient
{
public:
    explicit VornAnalyserClient(QoJavaObjectPtr analyser);
    VornAnalyserClient(const VornAnalyserClient &) = delete;
    VornAnalyserClient &operator=(const VornAnalyserClient &) = delete;
    virtual ~VornAnalyserClient();

    // Whether the database has the table plans are written to (only Oracle may lack it).
    virtual bool planTableAvailable();
    // The plan tree: per step {"info": fields as text, "children": steps}; empty on failure.
    virtual QVariantMap getPlanTable(const QString &sql);
    // The statement last analysed.
    virtual QString query() const;
    // Creates the plan table as the administrator, on the connection's server.
    virtual void createPlanTable(const QString &userName, const QString &password, const QString &server,
                                 const QString &port, const QString &database);

protected:
    VornAnalyserClient();

private:
    QoJavaObjectPtr analyser_;
};
