#pragma once

// A connected root of its own for export tests, on the SQLite file or a test server, and the rows
// an export cursor hands out as plain text.
#include "../backend/BackendTestSupport.h"
#include "RootLendingDocument.h"
#include "TestServers.h"

#include "client/JavaCall.h"
#include "client/SqlConnectionClient.h"
#include "client/VornExportCursorClient.h"
#include "client/VornRootClient.h"
#include "transfer/ExportController.h"
#include "transfer/ExportControllerDelegate.h"
#include "transfer/ExportViewController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ExportTestSupport
{

// A document for the export controller: it lends its root, offers its elements and the result's
// description, records the controller's states and keeps the assistant, when there is one, up to date.
class ExportDocument : public RootLendingDocument, public ExportControllerDelegate
{
public:
    ExportDocument() : RootLendingDocument("T") {}

    QList<BrowserElementPtr> exportControllerNeedsExportableBrowserElements(ExportController *) override
    {
        return elements;
    }
    ExtendedResultsetDescription exportControllerNeedsResultsetDescription(ExportController *) override
    {
        return description;
    }
    void exportControllerStatusUpdated(ExportController *controller) override
    {
        states << controller->state();
        if (assistant)
            assistant->update();
    }

    QList<BrowserElementPtr> elements;
    ExtendedResultsetDescription description;
    QList<qint64> states;
    ExportViewController *assistant = nullptr;
};

inline VornRootClientPtr connectedRoot(const DatabaseTarget &target)
{
    startedBackend();
    VornRootClientPtr root = VornRootClient::create();
    if (!root)
        return nullptr;
    RootSettings settings;
    settings.supportFolder = QDir::tempPath();
    root->initRoot(settings);
    const ConnectRequestFields request{.server = target.server,
                                       .port = target.port,
                                       .database = target.database,
                                       .userName = target.user,
                                       .password = target.password,
                                       .databaseType = target.type,
                                       .clientName = "Vorn export test",
                                       .timeOutSeconds = 10,
                                       .flags = 1};
    const BackendOutcome connected = root->startNewConnection(request);
    EXPECT_TRUE(connected) << connected.errorMessage.toStdString();
    return connected ? root : nullptr;
}

inline ::testing::AssertionResult run(VornRootClient &root, const QString &sql)
{
    root.sqlConnection()->executeQuery(sql, {});
    const BackendOutcome outcome = root.lastOutcome();
    if (outcome)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << sql.toStdString() << ": " << outcome.errorMessage.toStdString();
}

// Every row of the query, each row's cells joined by "|" (NULL as "<null>").
inline QStringList rowsOf(VornRootClient &root, const QString &sql)
{
    QStringList rows;
    auto cursor = VornExportCursorClient::forQuery(root, sql);
    if (!cursor || !cursor->begin())
        return {"<failed: " + (cursor ? cursor->failure() : JavaCall::takeFailure()) + ">"};
    while (auto batch = cursor->nextRows()) {
        for (int row = 0; row < batch->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < batch->columnCount(); ++column) {
                const QString text = batch->cell(row, column).string();
                cells << (text.isNull() ? "<null>" : text);
            }
            rows << cells.join('|');
        }
    }
    cursor->close();
    return rows;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A parameterised test over the SQLite file and both servers, with a connected root.
class ExportDatabaseTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        root_ = connectedRoot(target_);
        ASSERT_TRUE(root_) << "no Java VM or no connection";
    }

    bool isPostgres() const { return GetParam() == "PostgreSQL"; }
    bool isMySQL() const { return GetParam() == "MySQL"; }
    // The numbers 1 to count in the column "n".
    QString numbers(int count) const
    {
        if (isPostgres())
            return QString("SELECT g AS n FROM generate_series(1, %1) g").arg(count);
        if (isMySQL())
            return QString("SELECT seq AS n FROM seq_1_to_%1").arg(count);
        return QString("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < %1) "
                       "SELECT n FROM c")
            .arg(count);
    }

    VornRootClientPtr root_;
    QTemporaryDir output_;
};

} // namespace ExportTestSupport
