#pragma once

#include "sql/SQLParserComponent.h"

#include <QList>
#include <QString>

#include <memory>

class SQLInterpreterComponent;
using SQLInterpreterComponentPtr = std::shared_ptr<SQLInterpreterComponent>;
using SQLInterpreterComponentList = QList<SQLInterpreterComponentPtr>;

// One parser component with the role the interpreter gave it in its statement: clause keyword,
// table, alias, column and so on, the clause it lies in and what it belongs to.
class SQLInterpreterComponent : public std::enable_shared_from_this<SQLInterpreterComponent>
{
public:
    // Consumers rely on the ranges: 1-9 clause keywords, 10-19 names and join words, 20-29 DDL
    // words, 30 functions, 40 groups, 50-59 logic words, 60 and up operators and extras.
    enum Role : quint64 {
        Prefix = ~quint64(0),
        None = 0,
        Select = 1,
        Where = 2,
        From = 3,
        Insert = 4,
        Update = 5,
        Set = 6,
        Into = 7,
        GroupOrOrder = 8,
        By = 9,
        SchemaName = 10,
        TableName = 11,
        TableAlias = 12,
        ColumnName = 13,
        ColumnNameAlias = 14,
        JoinPrefix = 16,
        Join = 17,
        On = 18,
        Values = 19,
        ObjectKind = 20,
        ObjectName = 21,
        DDLVerb = 23,
        FunctionCall = 30,
        Group = 40,
        Junction = 50,
        Qualifier = 51,
        Null = 52,
        Comparison = 60,
        In = 61,
        InsertColumn = 71,
        TableDefinition = 72,
        IndexTable = 73,
        UpdateAlias = 74,
        SortOrder = 100,
    };

    explicit SQLInterpreterComponent(SQLParserComponentPtr parserComponent = {});
    virtual ~SQLInterpreterComponent();

    virtual bool isCompound() const { return false; }

    const SQLParserComponentPtr &parserComponent() const { return parserComponent_; }
    void setParserComponent(const SQLParserComponentPtr &component) { parserComponent_ = component; }
    quint64 interpreterComponentType() const { return interpreterComponentType_; }
    void setInterpreterComponentType(quint64 role) { interpreterComponentType_ = role; }
    bool inWhereClause() const { return inWhereClause_; }
    void setInWhereClause(bool in) { inWhereClause_ = in; }
    bool inFromClause() const { return inFromClause_; }
    void setInFromClause(bool in) { inFromClause_ = in; }
    bool inSelectClause() const { return inSelectClause_; }
    void setInSelectClause(bool in) { inSelectClause_ = in; }
    bool inOrderBy() const { return inOrderBy_; }
    void setInOrderBy(bool in) { inOrderBy_ = in; }
    bool inGroupBy() const { return inGroupBy_; }
    void setInGroupBy(bool in) { inGroupBy_ = in; }
    qint64 termPosition() const { return termPosition_; }
    void setTermPosition(qint64 position) { termPosition_ = position; }
    const SQLInterpreterComponentPtr &refers() const { return refers_; }
    void setRefers(const SQLInterpreterComponentPtr &refers) { refers_ = refers; }
    const SQLInterpreterComponentList &estimatedReferers() const { return estimatedReferers_; }
    void setEstimatedReferers(const SQLInterpreterComponentList &referers) { estimatedReferers_ = referers; }

    // Itself when it is a table, else the table that what it refers to leads to; null if none.
    SQLInterpreterComponentPtr referingTable();

    // The parser component's text and type; empty and None for a group.
    const QString &text() const;
    quint64 parserType() const;
    bool hasText(const QString &text) const;

    static QString roleName(quint64 role);
    virtual QString description() const;

private:
    SQLParserComponentPtr parserComponent_;
    quint64 interpreterComponentType_ = None;
    bool inWhereClause_ = false;
    bool inFromClause_ = false;
    bool inSelectClause_ = false;
    bool inOrderBy_ = false;
    bool inGroupBy_ = false;
    qint64 termPosition_ = 0;
    SQLInterpreterComponentPtr refers_;
    SQLInterpreterComponentList estimatedReferers_;
};
