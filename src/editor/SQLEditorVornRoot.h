#pragma once

#include "bridge/QoJavaObject.h"
#include "editor/SQLEditorRoot.h"

// The SQL editor's calls on the document's backend root ("nl/dalmerik/vorn/VornRoot") and its SQL
// connection, through the bridge. Callers are threads attached to the Java VM.
class SQLEditorVornRoot : public SQLEditorRoot
{
public:
    explicit SQLEditorVornRoot(QoJavaObjectPtr vornRoot);

    bool hasConnection() const override;
    bool isConnected() const override;
    bool reserved() const override;
    QString connectionType() const override;
    QStringList reservedWords() const override;
    QStringList contextWords() const override;
    QStringList defaultReservedWords() const override;

    bool executable(const QString &sql) override;
    bool executeQuery(const QString &sql, const QVariantList &parameters) override;
    bool lastActionSuccessful() const override;
    QString lastErrorMessage() const override;
    qint32 resultCount() const override;
    QString statementType() const override;
    void cancelQuery() override;

private:
    QoJavaObjectPtr sqlConnection() const;
    QStringList metaDataWords(const QString &selector) const;

    QoJavaObjectPtr vornRoot_;
};
