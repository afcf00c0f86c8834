#pragma once

#include "sql/SQLInterpreterComponent.h"
#include "sql/SQLInterpreterFormatComponent.h"

#include <vector>

class SQLInterpreterCompoundComponent;
using SQLInterpreterCompoundComponentPtr = std::shared_ptr<SQLInterpreterCompoundComponent>;

// A parenthesised group (its first element its "(", its last its ")"), or a statement or the
// root. Lays itself out for the statement formatter.
class SQLInterpreterCompoundComponent : public SQLInterpreterComponent
{
public:
    using Tokens = std::vector<SQLInterpreterFormatComponent>;

    explicit SQLInterpreterCompoundComponent(const QString &compoundStart = QString());

    bool isCompound() const override { return true; }

    SQLInterpreterComponentList &subcomponents() { return subcomponents_; }
    const SQLInterpreterComponentList &subcomponents() const { return subcomponents_; }
    const QString &compoundStart() const { return compoundStart_; }
    const QString &compoundEnd() const { return compoundEnd_; }
    void setCompoundEnd(const QString &end) { compoundEnd_ = end; }

    QString description() const override;
    QString descriptionCompact() const;
    // Components below this group that are not groups.
    qint64 componentCount() const;

    // Length of all text below, blanks and line feeds not counted.
    qint64 characterlength() const;
    bool shouldFormatFlat() const;
    Tokens formatFlat(qint64 depth) const;
    Tokens formatWithDepth(qint64 depth) const;
    static QString spacer(qint64 count);
    QString format() const;

private:
    SQLInterpreterComponentList subcomponents_;
    QString compoundStart_;
    QString compoundEnd_;
};
