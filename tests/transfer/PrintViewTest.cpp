// A print view printed to PDF, read back as text and rendered for a look.
#include "transfer/PrintView.h"
#include "client/BackgroundRunner.h"
#include "platform/PreferenceDefaults.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace
{

// Rows of an order table: an id and a text that sometimes wraps.
class OrdersSource : public PrintRowSource
{
public:
    explicit OrdersSource(int rows) : rows_(rows) {}
    QStringList columnNames() const override { return {"id", "description", "picture"}; }
    bool isScript() const override { return false; }
    std::optional<Row> row(qint64 index) override
    {
        ++reads;
        if (index >= rows_)
            return std::nullopt;
        const QString text =
            index % 10 == 0 ? QString("long %1 ").arg(index).repeated(20) : QString("order %1").arg(index);
        return Row{QString::number(index + 1), text, std::nullopt};
    }
    int reads = 0;

private:
    int rows_;
};

class PrintViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
        ASSERT_TRUE(folder_.isValid());
    }

    QString printToPdf(PrintView &view, const QString &name)
    {
        const QString path = folder_.filePath(name + ".pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);
        view.print(printer, WorkerControl(nullptr));
        return path;
    }

    static QString pdfText(const QString &path)
    {
        QProcess process;
        process.start("pdftotext", {"-layout", path, "-"});
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir folder_;
};

TEST_F(PrintViewTest, AResultSetPrintsItsHeaderBandRowsAndPageNumbers)
{
    PrintInfo info;
    info.table = "orders";
    info.type = "Table";
    info.query = "SELECT * FROM orders";
    info.filter = "amount > 100";
    PrintView view(info, "Shop database", std::make_unique<OrdersSource>(400));
    const QString pdf = printToPdf(view, "orders");
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(view.rowCount(), 400);
    const int pages = view.totalPages();
    ASSERT_GT(pages, 3);

    const QString text = pdfText(pdf);
    const QStringList pageTexts = text.split('\f');
    for (const char *expected : {"orders", "Connection :", "Shop database", "Type :", "Filter :",
                                 "amount > 100", "SQL Statement :", "Printed using Vorn on"})
        EXPECT_TRUE(pageTexts.at(0).contains(expected)) << expected;
    EXPECT_FALSE(pageTexts.at(0).contains("Sort :")) << "no sort, no row for it";
    EXPECT_TRUE(pageTexts.at(2).contains(QString("Page 3 of %1").arg(pages)));
    EXPECT_FALSE(pageTexts.at(1).contains("Connection :")) << "the document header is on page 1 only";
    EXPECT_TRUE(pageTexts.at(1).contains("description")) << "every page starts with the column band";
    EXPECT_TRUE(text.contains("order 399"));

    // One page as an image, to look at.
    QProcess render;
    render.start("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1", pdf, folder_.filePath("page")});
    render.waitForFinished(60000);
    const QString artifacts = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(artifacts);
    const QStringList images = QDir(folder_.path()).entryList({"page*.png"});
    ASSERT_EQ(images.size(), 1);
    QFile::remove(artifacts + "/print-orders-page1.png");
    EXPECT_TRUE(QFile::copy(folder_.filePath(images.first()), artifacts + "/print-orders-page1.png"));
}

TEST_F(PrintViewTest, AnEmptyResultPrintsOnePageWithItsHeaders)
{
    PrintInfo info;
    info.table = "empty_table";
    PrintView view(info, QString(), std::make_unique<OrdersSource>(0));
    const QString text = pdfText(printToPdf(view, "empty"));
    EXPECT_EQ(view.totalPages(), 1);
    EXPECT_TRUE(text.contains("Connection :")) << text.toStdString();
    EXPECT_TRUE(text.contains("None")) << "a document without a connection name";
    EXPECT_TRUE(text.contains("description"));
    EXPECT_TRUE(text.contains("Page 1 of 1"));
}

TEST_F(PrintViewTest, AScriptPrintsItsLinesWithoutAColumnBandAndNamesItsFile)
{
    PrintInfo info;
    info.title = "Report.sql";
    info.type = "SQL Script";
    info.fileName = "/home/ann/Report.sql";
    QString script;
    for (int i = 1; i <= 300; ++i)
        script += QString("select %1 from dual;\n").arg(i);
    std::unique_ptr<PrintView> view = PrintView::forText(script, info, "Local");
    const QString text = pdfText(printToPdf(*view, "script"));
    EXPECT_TRUE(text.contains("File :"));
    EXPECT_TRUE(text.contains("/home/ann/Report.sql"));
    EXPECT_FALSE(text.contains("SCRIPT")) << "scripts have no column band";
    EXPECT_TRUE(text.contains("select 300 from dual;"));
}

TEST_F(PrintViewTest, AColouredScriptPrintsInItsColours)
{
    QTextDocument script;
    QTextCursor cursor(&script);
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    cursor.insertText("SELECT", blue);
    cursor.insertText(" name FROM customers", QTextCharFormat());
    PrintInfo noHeader;
    UserDefaults::standard().setObject(false, PreferenceKey::print_header);
    UserDefaults::standard().setObject(false, PreferenceKey::print_footer);
    std::unique_ptr<PrintView> view = PrintView::forText(script, noHeader, "Local");
    view->prepare(WorkerControl(nullptr), {});
    ASSERT_EQ(view->layOut(500, 700), 1);
    QImage page(500, 700, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    view->drawPage(painter, 1);
    painter.end();
    int bluish = 0;
    int dark = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor pixel = page.pixelColor(x, y);
            bluish += pixel.blue() > 150 && pixel.red() < 100 && pixel.green() < 100;
            dark += pixel.blue() < 80 && pixel.red() < 80 && pixel.green() < 80;
        }
    }
    EXPECT_GT(bluish, 10) << "the keyword keeps its colour";
    EXPECT_GT(dark, 10) << "the rest prints black";
    UserDefaults::standard().setObject(true, PreferenceKey::print_header);
    UserDefaults::standard().setObject(true, PreferenceKey::print_footer);
}

TEST_F(PrintViewTest, ChangingAnOptionAsksForNewMeasurementsAndSwitchesPartsOff)
{
    PrintInfo info;
    info.table = "orders";
    PrintView view(info, "Shop", std::make_unique<OrdersSource>(50));
    printToPdf(view, "first");
    EXPECT_FALSE(view.needsPreparation());
    UserDefaults::standard().setObject(false, PreferenceKey::print_footer);
    UserDefaults::standard().setObject(false, PreferenceKey::print_header);
    EXPECT_TRUE(view.needsPreparation());
    const QString text = pdfText(printToPdf(view, "second"));
    EXPECT_FALSE(text.contains("Printed using Vorn"));
    EXPECT_FALSE(text.contains("Connection :"));
    EXPECT_TRUE(text.contains("order 49"));
    UserDefaults::standard().setObject(true, PreferenceKey::print_footer);
    UserDefaults::standard().setObject(true, PreferenceKey::print_header);
}

TEST_F(PrintViewTest, CancellingPreparationKeepsTheRowsMeasuredSoFar)
{
    PrintInfo info;
    PrintView view(info, "Shop", std::make_unique<OrdersSource>(5000));
    auto canceled = std::make_shared<std::atomic<bool>>(false);
    qint64 lastProgress = 0;
    view.prepare(WorkerControl(canceled), [&](qint64 rows) {
        lastProgress = rows;
        if (rows == 2000)
            canceled->store(true);
    });
    EXPECT_EQ(lastProgress, 2000);
    EXPECT_EQ(view.rowCount(), 2000);
}

} // namespace
