#include "../status/StatusManagerFakes.h"
#include "FakeVornRootClient.h"
#include "WaitFor.h"

#include "document/StatusManagerButtonCell.h"
#include "document/StatusManagerViewController.h"
#include "document/StatusManagerViewPart.h"

#include <QAbstractButton>
#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace
{

class StatusBarTest : public ::testing::Test
{
protected:
    StatusBarTest()
    {
        manager.setDelegate(&document);
        manager.setClock(clock.function());
        window.resize(800, 60);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addStretch();
        layout->addWidget(bar.contentStatusView());
        window.show();
        bar.setStatusManager(&manager);
    }

    qreal statusOpacity()
    {
        return static_cast<QGraphicsOpacityEffect *>(bar.statusView()->graphicsEffect())->opacity();
    }

    FakeClock clock;
    FakeNotifier notifier{clock};
    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    FakeDocument document;
    StatusManager manager{root, notifier.notifier};
    QWidget window;
    StatusManagerViewController bar{&window};
};

} // namespace

TEST(StatusBarText, ElapsedTimes)
{
    const struct {
        double seconds;
        const char *text;
    } cases[] = {
        {2.0, "Run 2s..."},      {59.9, "Run 59s..."},      {60.0, "Run 1m0s..."},
        {61.0, "Run 1m1s..."},   {3599.0, "Run 59m59s..."}, {3600.0, "Run 1h0m..."},
        {3725.0, "Run 1h2m..."}, {90061.0, "Run 25h1m..."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StatusManagerViewController::statusText("Run", c.seconds), c.text) << c.seconds;
}

TEST_F(StatusBarTest, BusyTextShowsTheElapsedTimeFromTwoSecondsOn)
{
    manager.setActiveConnectionStatus("Executing SQL Statement");
    const struct {
        double after;
        const char *text;
    } cases[] = {{0.0, "Executing SQL Statement..."},
                 {1.99, "Executing SQL Statement..."},
                 {59.0, "Executing SQL Statement 59s..."},
                 {61.0, "Executing SQL Statement 1m1s..."},
                 {3725.0, "Executing SQL Statement 1h2m..."}};
    const double start = manager.activeStatusStart();
    for (const auto &c : cases) {
        clock.now = start + c.after;
        bar.statusTextUpdated();
        EXPECT_EQ(bar.statusView()->text(), c.text) << c.after;
    }
}

TEST_F(StatusBarTest, StatusTextKeepsItsRightEdgeWhileItGrows)
{
    manager.setActiveConnectionStatus("Loading");
    bar.statusReset();
    const int rightEdge = bar.statusView()->x() + bar.statusView()->width();
    clock.now += 3725;
    bar.statusTextUpdated();
    EXPECT_EQ(bar.statusView()->x() + bar.statusView()->width(), rightEdge);
}

TEST_F(StatusBarTest, RecordTexts)
{
    const struct {
        bool resultset;
        qint32 rows;
        bool fullyLoaded;
        const char *text;
    } cases[] = {
        {false, 0, false, nullptr},          {true, 1, true, "1 record"},
        {true, 0, true, "0 records"},        {true, 250, false, "Loaded 250 records"},
        {true, 1, false, "Loaded 1 record"}, {true, 7, true, "7 records"},
    };
    for (const auto &c : cases) {
        root->resultsetStateValue.reset();
        if (c.resultset)
            root->resultsetStateValue = ResultsetState{c.rows, c.fullyLoaded, false, QString()};
        bar.statusReset();
        EXPECT_EQ(bar.recordsView()->isShown(), c.text != nullptr) << c.rows;
        if (c.text)
            EXPECT_EQ(bar.recordsView()->text(), c.text);
        else
            EXPECT_GE(bar.recordsView()->x(), bar.contentStatusView()->width()) << "slid out on the right";
    }

    // A page that failed to load ends the reading too, but the count is not the result's size.
    manager.setResultsetLoadFailed(true);
    for (const auto &[rows, text] : {std::pair{300, "Loaded 300 records, loading the rest failed"},
                                     std::pair{1, "Loaded 1 record, loading the rest failed"}}) {
        root->resultsetStateValue = ResultsetState{rows, true, false, QString()};
        bar.statusReset();
        EXPECT_EQ(bar.recordsView()->text(), text);
    }
}

TEST_F(StatusBarTest, ConnectButtonFollowsTheConnectionState)
{
    const struct {
        qint64 state;
        const char *name;
        const char *tooltip;
        const char *request;
    } cases[] = {
        {0, nullptr, "Not connected, click to (re)connect", "reconnect"},
        {0, "Sales", "Not connected, click to (re)connect to Sales", "reconnect"},
        {1, nullptr, "Connecting", nullptr},
        {1, "Sales", "Connecting to Sales", nullptr},
        {2, nullptr, "Connected, click to disconnect", "disconnect"},
        {2, "Sales", "Connected to Sales, click to disconnect", "disconnect"},
    };
    for (const auto &c : cases) {
        document.connectionState = c.state;
        document.connectionName = c.name ? QString(c.name) : QString();
        document.requests.clear();
        bar.statusReset();
        QAbstractButton *button = bar.connectView()->buttonField();
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), c.tooltip);
        button->click();
        EXPECT_EQ(document.requests, c.request ? QStringList{c.request} : QStringList()) << c.tooltip;
    }
}

TEST_F(StatusBarTest, SchemaAndSelectedElement)
{
    document.connectionState = 0;
    document.schema = "public";
    FakeElement element("customers");
    document.element = &element;
    bar.statusReset();
    EXPECT_EQ(bar.databaseView()->text(), "Not connected");
    EXPECT_FALSE(bar.selectionView()->isShown());
    EXPECT_LT(bar.selectionView()->x(), 0);

    document.connectionState = 2;
    bar.statusReset();
    EXPECT_EQ(bar.databaseView()->text(), "public");
    EXPECT_TRUE(bar.selectionView()->isShown());
    EXPECT_EQ(bar.selectionView()->text(), "customers");
    ASSERT_NE(bar.selectionView()->iconField(), nullptr);
    EXPECT_GE(bar.selectionView()->x(), bar.databaseView()->x() + bar.databaseView()->width() - 3);

    document.element = nullptr;
    document.schema.clear();
    bar.statusReset();
    EXPECT_EQ(bar.databaseView()->text(), "");
    EXPECT_FALSE(bar.selectionView()->isShown());
}

TEST_F(StatusBarTest, FinalStatusOfTheEditorStaysOthersFadeOut)
{
    document.canCancel = true;
    manager.setActiveConnectionStatus("Executing SQL Statement", StatusManager::SqlEditor);
    bar.statusReset();
    EXPECT_EQ(statusOpacity(), 1.0);
    ASSERT_NE(bar.statusView()->buttonField(), nullptr);
    EXPECT_FALSE(bar.statusView()->buttonField()->isHidden());
    bar.statusView()->buttonField()->click();
    EXPECT_EQ(document.requests, QStringList{"cancel"});

    manager.setConnectionStatus("3 rows selected", QString(), StatusManager::SqlEditor);
    bar.statusUpdated();
    ASSERT_WAIT_FOR_EQ(statusOpacity(), 1.0);
    EXPECT_EQ(bar.statusView()->text(), "3 rows selected");
    EXPECT_TRUE(bar.statusView()->buttonField()->isHidden());

    manager.setActiveConnectionStatus("Refreshing");
    manager.setConnectionStatus("Refreshed");
    bar.statusUpdated();
    EXPECT_FALSE(bar.statusView()->isShown());
    ASSERT_WAIT_FOR_EQ(statusOpacity(), 0.0);
}

TEST_F(StatusBarTest, ReadOnlyMarkerExplainsItself)
{
    bar.statusReset();
    EXPECT_FALSE(bar.readOnlyView()->isShown());
    root->resultsetStateValue = ResultsetState{};
    root->resultsetStateValue->readOnly = true;
    root->resultsetStateValue->readOnlyReason = "VIEW";
    bar.statusReset();
    ASSERT_TRUE(bar.readOnlyView()->isShown());
    EXPECT_EQ(bar.readOnlyView()->buttonField()->toolTip(), "A view cannot be edited");
    bar.readOnlyView()->buttonField()->click();
    QMessageBox *sheet = nullptr;
    ASSERT_WAIT_FOR((sheet = window.findChild<QMessageBox *>()) && sheet->isVisible());
    EXPECT_EQ(sheet->text(), "A view cannot be edited");
    EXPECT_TRUE(sheet->informativeText().startsWith("With Vorn you cannot edit the results of a view."));
    sheet->buttons().first()->click();
    ASSERT_WAIT_FOR(!window.findChild<QMessageBox *>());
}

namespace
{
// Where a part's text lies in the bar, left and right.
std::pair<int, int> textSpan(const StatusManagerViewPart *part)
{
    const QLabel *label = part->textField();
    const int left = part->x() + label->x() + label->contentsRect().left();
    return {left, left + label->fontMetrics().horizontalAdvance(label->text())};
}

// Where a part shows in the bar: its tab (drawn shifted away from the neighbour in front, for parts
// with a background), within the part, less what the parts in front of it cover on either side.
std::pair<int, int> visibleSpan(const StatusManagerViewPart *part, const StatusManagerViewPart *frontLeft,
                                const StatusManagerViewPart *frontRight)
{
    int left = part->x();
    int right = part->x() + part->width();
    if (part->heightend() && part->rightAligned())
        left += 2;
    else if (part->heightend())
        right -= 2;
    if (frontLeft)
        left = std::max(left, frontLeft->x() + frontLeft->width());
    if (frontRight)
        right = std::min(right, frontRight->x());
    return {left, right};
}
} // namespace

TEST_F(StatusBarTest, EveryTextHasRoomClearOfItsEdges)
{
    document.connectionState = 2;
    document.schema = "main";
    FakeElement element("customers");
    document.element = &element;
    root->resultsetStateValue = ResultsetState{};
    root->resultsetStateValue->rowCount = 10;
    root->resultsetStateValue->fullyLoaded = true;
    root->resultsetStateValue->readOnly = true;
    document.canCancel = true;
    const struct {
        const char *name;
        bool busy;
    } states[] = {{"final status", false}, {"busy with its cancel button", true}};
    for (const auto &state : states) {
        if (state.busy)
            manager.setActiveConnectionStatus("Executing SQL Statement", StatusManager::SqlEditor);
        else
            manager.setConnectionStatus("SQL statement executed successfully", QString(),
                                        StatusManager::SqlEditor);
        bar.statusReset();
        const struct {
            const char *name;
            StatusManagerViewPart *part;
            StatusManagerViewPart *frontLeft;
            StatusManagerViewPart *frontRight;
        } parts[] = {
            {"schema", bar.databaseView(), bar.connectView(), nullptr},
            {"selection", bar.selectionView(), bar.databaseView(), nullptr},
            {"status", bar.statusView(), nullptr, bar.recordsView()},
            {"records", bar.recordsView(), nullptr, bar.readOnlyView()},
        };
        for (const auto &p : parts) {
            SCOPED_TRACE(std::string(state.name) + ", " + p.name);
            ASSERT_TRUE(p.part->isShown());
            ASSERT_NE(p.part->textField(), nullptr);
            const auto [textLeft, textRight] = textSpan(p.part);
            const auto [left, right] = visibleSpan(p.part, p.frontLeft, p.frontRight);
            EXPECT_GE(textLeft, left + 3);
            EXPECT_LE(textRight, right - 3);
            const QLabel *label = p.part->textField();
            EXPECT_GE(label->y(), 0);
            EXPECT_LE(label->y() + label->height(), p.part->height());
        }
    }
}

TEST_F(StatusBarTest, RightHandPartsStayAtTheRightEdge)
{
    root->resultsetStateValue = ResultsetState{};
    root->resultsetStateValue->rowCount = 12;
    root->resultsetStateValue->readOnly = true;
    manager.setConnectionStatus("Done", QString(), StatusManager::SqlEditor);
    bar.statusReset();
    for (int width : {800, 500, 1200}) {
        window.resize(width, 60);
        ASSERT_WAIT_FOR_EQ(bar.contentStatusView()->width(), width);
        EXPECT_EQ(bar.readOnlyView()->x() + bar.readOnlyView()->width(), width - 1) << width;
        EXPECT_EQ(bar.recordsView()->x() + bar.recordsView()->width(), bar.readOnlyView()->x() + 2) << width;
        EXPECT_EQ(bar.statusView()->x() + bar.statusView()->width(), bar.recordsView()->x() + 2) << width;
    }
}

TEST_F(StatusBarTest, LooksRight)
{
    document.connectionState = 2;
    document.connectionName = "Sales";
    document.schema = "public";
    FakeElement element("customers");
    document.element = &element;
    root->resultsetStateValue = ResultsetState{};
    root->resultsetStateValue->rowCount = 250;
    root->resultsetStateValue->readOnly = true;
    manager.setActiveConnectionStatus("Executing SQL Statement", StatusManager::SqlEditor);
    clock.now += 61;
    document.canCancel = true;
    bar.statusReset();
    const QString path =
        QDir(qEnvironmentVariable("VORN_BUILD_DIR", QDir::tempPath())).filePath("status-bar.png");
    ASSERT_TRUE(window.grab().save(path));
}

TEST(StatusBarPart, SizesItselfToItsContent)
{
    QWidget bar;
    bar.resize(600, 23);
    const struct {
        const char *name;
        bool rightAligned;
        bool icon;
        bool busy;
        bool button;
        int extraWidth; // beyond the label's own width
        int labelX;
    } cases[] = {
        {"left text", false, false, false, false, 8, 4},
        {"right text", true, false, false, false, 8, 6},
        {"left with icon", false, true, false, false, 24, 20},
        {"busy", true, false, true, false, 28, 6},
        {"with button", true, false, false, true, 28, 26},
        {"busy with button", true, false, true, true, 48, 26},
    };
    for (const auto &c : cases) {
        StatusManagerViewPart part(&bar);
        part.setRightAligned(c.rightAligned);
        part.setGeometry(100, 1, 50, 21);
        if (c.icon)
            part.setIcon(QPixmap(14, 14));
        part.setBusy(c.busy);
        if (c.button)
            part.setButton(
                "CancelAction", "Cancel", [] {}, QKeySequence());
        part.setText("Executing SQL Statement");
        const int labelWidth = part.textField()->width();
        EXPECT_EQ(part.width(), labelWidth + c.extraWidth) << c.name;
        EXPECT_EQ(part.height(), 21) << c.name;
        EXPECT_EQ(part.textField()->x(), c.labelX) << c.name;
        if (c.rightAligned)
            EXPECT_EQ(part.x(), 100) << c.name;
        else
            EXPECT_EQ(part.x() + part.width(), 150) << c.name;
        EXPECT_EQ(part.progressField() != nullptr, c.busy) << c.name;
        part.setBusy(false);
        EXPECT_EQ(part.progressField(), nullptr) << c.name;
    }
}
