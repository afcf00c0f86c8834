#pragma once

#include "sql/SQLInterpreterCompoundComponent.h"
#include "sql/SQLParserComponent.h"

using SQLInterpreterCompoundComponentList = QList<SQLInterpreterCompoundComponentPtr>;

// Gives the components of one statement their roles (clause keywords, tables, schemas, aliases,
// columns, functions) by a fixed sequence of keyword-driven passes over a tree of parenthesised
// groups, and lays statements out. No grammar and no errors: any text gets a best-effort typing.
// Holds no state.
class SQLInterpreter
{
public:
    // Auto-completion puts an Identifier with this text at the caret and reads the role it gets.
    static const QString AutoCompleteInjectionIdentifier;

    // One interpreter component per parser component, in the same order. tableCompounds receives
    // the groups used as tables (sub-selects after FROM, JOIN or a comma).
    SQLInterpreterComponentList
    interpreteComponents(const SQLParserComponentList &components,
                         SQLInterpreterCompoundComponentList *tableCompounds = nullptr) const;
    SQLInterpreterCompoundComponentPtr
    interpreteCompoundComponents(const SQLInterpreterComponentList &components) const;
    void interpreteCompound(const SQLInterpreterCompoundComponentPtr &compound) const;
    void interpreteCompound(const SQLInterpreterCompoundComponentPtr &compound,
                            const SQLInterpreterComponentList &outer) const;
    SQLInterpreterCompoundComponentList
    findTableCompounds(const SQLInterpreterCompoundComponentPtr &compound) const;
    SQLInterpreterComponentPtr tableAliasWithName(const QString &name,
                                                  const SQLInterpreterComponentList &from) const;

    // The statement laid out: on one line when short and simple, else over lines by depth.
    QString formatComponents(const SQLParserComponentList &components) const;

private:
    // The three passes that only look at words take the group's components without blanks and
    // comments, made once for them.
    void _combineIdentifiers(const SQLInterpreterComponentList &words) const;
    void _basicKeywordRun(const SQLInterpreterComponentList &components) const;
    void _basicKeywordDependencyRun(const SQLInterpreterComponentList &words) const;
    void _tableSearchRun(const SQLInterpreterComponentList &components) const;
    void _markSchemaRun(const SQLInterpreterComponentList &components) const;
    void _markFunctionCallRun(const SQLInterpreterComponentList &words) const;
    void _markTableAliasRun(const SQLInterpreterComponentList &components,
                            const SQLInterpreterComponentList &outer) const;
    void _markColumnRun(const SQLInterpreterComponentList &components) const;
    void _markColumnAliasRun(const SQLInterpreterComponentList &components) const;
};
