#pragma once

#include "elements/BrowserElement.h"

// The result of an executed statement: "SQL Statement" of type "SQL Statement result", with the
// statement's text and its execution time. Neither of those two travels in identifiers or archives.
class SqlBrowserElement : public BrowserElement
{
public:
    // Named "SQL Statement", typed "SQL Statement result", browser type 9, in the given schema.
    explicit SqlBrowserElement(const QString &schema, const QString &source = {}, double timing = 0);

    QString source() const { return source_; }
    void setSource(const QString &source) { source_ = source; }
    double timing() const { return timing_; }
    void setTiming(double timing) { timing_ = timing; }

private:
    QString source_;
    double timing_ = 0;
};
