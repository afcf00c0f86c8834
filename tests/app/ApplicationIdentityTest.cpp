// What tells the user which program this is: its one web address in every link and mail it
// offers, window titles in words, and its icon on every window and in About.
#include "app/VornDocumentController.h"
#include "document/DocumentHelper.h"
#include "platform/Bundle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace
{

// Stands in for the browser and the mail program.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

QVariantMap buildInfo()
{
    return Bundle(qEnvironmentVariable("VORN_BUILD_DIR")).infoDictionary();
}

// The address after "More info at " in a stored-settings header.
QString headerLink(const QString &text)
{
    const QRegularExpressionMatch match = QRegularExpression("More info at (\\S+) \\*/").match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

TEST(ApplicationIdentityTest, EveryLinkAndMailGoesToTheOneWebSite)
{
    UrlRecorder browser;
    for (const char *scheme : {"https", "http", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &browser, "open");
    VornDocumentController controller(buildInfo());
    controller.openVornWebsite(nullptr);
    controller.openWebsite(nullptr);
    controller.openSupport(nullptr);
    controller.sendFeedback(nullptr);
    for (const char *scheme : {"https", "http", "mailto"})
        QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(browser.opened.size(), 4);

    QString sql = "select 1;";
    ASSERT_TRUE(DocumentHelper::createStorageSettingsForSQL(sql, nullptr, {}, {}));
    QFile runScript(qEnvironmentVariable("VORN_SOURCE_DIR") + "/scripts/run");
    ASSERT_TRUE(runScript.open(QIODevice::ReadOnly));
    const QString demoScript = QString::fromUtf8(runScript.readAll());

    QSet<QString> sites;
    for (const QUrl &url : browser.opened) {
        SCOPED_TRACE(url.toString().toStdString());
        EXPECT_TRUE(url.scheme() == "https" || url.scheme() == "mailto");
        sites.insert(url.scheme() == "mailto" ? url.path().section('@', 1) : url.host());
    }
    for (const QString &link : {headerLink(sql), headerLink(demoScript)}) {
        SCOPED_TRACE(link.toStdString());
        EXPECT_TRUE(link.startsWith("https://"));
        sites.insert(QUrl(link).host());
    }
    EXPECT_EQ(sites.size(), 1) << QStringList(sites.values()).join(", ").toStdString();
    EXPECT_EQ(browser.opened[0], browser.opened[1]) << "the maker's site is Vorn's own";
    EXPECT_FALSE(sites.contains(QString())) << "every address has a host";
}

TEST(ApplicationIdentityTest, RichTextWindowsAreTitledInWordsAndEveryWindowCarriesTheIcon)
{
    VornDocumentController controller(buildInfo());
    const QIcon icon = QApplication::windowIcon();
    for (int size : {16, 32, 48, 64, 128, 256})
        EXPECT_EQ(icon.pixmap(size, size).width(), size) << "the icon ships at " << size;
    EXPECT_EQ(icon.availableSizes().size(), 8);

    const struct {
        void (VornDocumentController::*command)(QObject *);
        QString title;
    } windows[] = {
        {&VornDocumentController::openReleaseNotes, "Release Notes"},
        {&VornDocumentController::openAcknowledgements, "Acknowledgements"},
    };
    for (const auto &w : windows) {
        SCOPED_TRACE(w.title.toStdString());
        (controller.*w.command)(nullptr);
        AdvancedWindow *window = controller.richTextWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), w.title);
        EXPECT_EQ(window->windowIcon().cacheKey(), icon.cacheKey());
    }

    controller.runAboutPanel(nullptr);
    QWidget *about = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == "AboutWindow" && top->isVisible())
            about = top;
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowIcon().cacheKey(), icon.cacheKey());
    QImage shown;
    for (const QLabel *label : about->findChildren<QLabel *>())
        if (!label->pixmap().isNull())
            shown = label->pixmap().toImage();
    EXPECT_EQ(shown, icon.pixmap(96, 96).toImage()) << "About shows the program's icon";
}

} // namespace

#include "ApplicationIdentityTest.moc"
