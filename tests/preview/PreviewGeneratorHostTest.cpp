// The built plug-in through its C interface, as a QuickLook host uses it: the factory, the
// interface query and the reference count that frees an instance once, the callbacks, and what
// the library exports and needs.
#include "PreviewGeneratorHost.h"
#include "GeneratorUUID.h"
#include "QuickLookGenerator.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <dlfcn.h>

namespace
{

QString libraryPath()
{
    return qEnvironmentVariable("VORN_BUILD_DIR") + QStringLiteral("/lib/vorn/libVornQuickLook.so");
}

// The library opened beside the host, for its factory and its count of live instances.
class GeneratorLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library_ = dlopen(QFile::encodeName(libraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        factory_ = reinterpret_cast<decltype(factory_)>(dlsym(library_, VORN_QUICKLOOK_FACTORY_FUNCTION));
        instances_ =
            reinterpret_cast<decltype(instances_)>(dlsym(library_, "QuickLookGeneratorPluginInstanceCount"));
        ASSERT_NE(factory_, nullptr);
        ASSERT_NE(instances_, nullptr);
        ASSERT_EQ(instances_(), 0u);
    }
    void TearDown() override
    {
        if (library_)
            dlclose(library_);
    }

    static const VornQLGeneratorInterface &table(void *instance)
    {
        return **static_cast<VornQLGeneratorInterface **>(instance);
    }

    void *library_ = nullptr;
    void *(*factory_)(const void *, VornUUIDBytes) = nullptr;
    uint32_t (*instances_)() = nullptr;
};

TEST_F(GeneratorLibraryTest, FactoryMakesOnlyTheGeneratorType)
{
    EXPECT_EQ(factory_(nullptr, GeneratorUUID::fromString(VORN_QL_GENERATOR_CALLBACKS_INTERFACE_ID)),
              nullptr);
    EXPECT_EQ(instances_(), 0u);
    void *instance = factory_(nullptr, GeneratorUUID::fromString(VORN_QL_GENERATOR_TYPE_ID));
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instances_(), 1u);
    EXPECT_EQ(table(instance).GeneratePreviewForURL, nullptr) << "callbacks come with the interface query";
    EXPECT_EQ(table(instance).Release(instance), 0u);
    EXPECT_EQ(instances_(), 0u);
}

TEST_F(GeneratorLibraryTest, EachInterfaceQueryAddsAReferenceAndTheLastReleaseFreesOnce)
{
    void *instance = factory_(nullptr, GeneratorUUID::fromString(VORN_QL_GENERATOR_TYPE_ID));
    ASSERT_NE(instance, nullptr);
    const VornUUIDBytes callbacks = GeneratorUUID::fromString(VORN_QL_GENERATOR_CALLBACKS_INTERFACE_ID);
    void *first = nullptr;
    void *second = nullptr;
    ASSERT_EQ(table(instance).QueryInterface(instance, callbacks, &first), VORN_S_OK);
    ASSERT_EQ(table(instance).QueryInterface(instance, callbacks, &second), VORN_S_OK);
    EXPECT_EQ(first, instance);
    EXPECT_EQ(second, instance);
    EXPECT_NE(table(instance).GeneratePreviewForURL, nullptr);

    EXPECT_EQ(table(instance).AddRef(instance), 4u);
    for (uint32_t expected : {3u, 2u, 1u}) {
        EXPECT_EQ(table(instance).Release(instance), expected);
        EXPECT_EQ(instances_(), 1u);
    }
    EXPECT_EQ(table(instance).Release(instance), 0u);
    EXPECT_EQ(instances_(), 0u);
}

TEST_F(GeneratorLibraryTest, OtherInterfacesAreNotAnswered)
{
    void *instance = factory_(nullptr, GeneratorUUID::fromString(VORN_QL_GENERATOR_TYPE_ID));
    ASSERT_NE(instance, nullptr);
    // The base unknown interface included.
    for (const char *interfaceID : {"00000000-0000-0000-C000-000000000046", VORN_QL_GENERATOR_TYPE_ID}) {
        void *out = instance;
        EXPECT_EQ(table(instance).QueryInterface(instance, GeneratorUUID::fromString(interfaceID), &out),
                  VORN_E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(table(instance).Release(instance), 0u) << "a refused query adds no reference";
}

TEST_F(GeneratorLibraryTest, ThumbnailCallbackSucceedsWithoutAThumbnail)
{
    void *unknown = factory_(nullptr, GeneratorUUID::fromString(VORN_QL_GENERATOR_TYPE_ID));
    void *instance = nullptr;
    ASSERT_EQ(table(unknown).QueryInterface(
                  unknown, GeneratorUUID::fromString(VORN_QL_GENERATOR_CALLBACKS_INTERFACE_ID), &instance),
              VORN_S_OK);
    table(unknown).Release(unknown);
    int handedOver = 0;
    VornQLRequest request{&handedOver, [](VornQLRequest *r, const char *, size_t, const char *) {
                              ++*static_cast<int *>(r->context);
                          }};
    for (const VornSize size : {VornSize{16, 16}, VornSize{1024, 768}})
        EXPECT_EQ(table(instance).GenerateThumbnailForURL(instance, &request, "/nonexistent.sql",
                                                          "application/sql", nullptr, size),
                  VORN_NO_ERR);
    EXPECT_EQ(handedOver, 0);
    table(instance).Release(instance);
}

TEST_F(GeneratorLibraryTest, HostHoldsOneReferenceUntilItIsDestroyed)
{
    QString error;
    std::unique_ptr<PreviewGeneratorHost> host = PreviewGeneratorHost::load(libraryPath(), &error);
    ASSERT_TRUE(host) << error.toStdString();
    EXPECT_EQ(instances_(), 1u);
    EXPECT_EQ(host->addRef(), 2u);
    EXPECT_EQ(host->release(), 1u);
    host.reset();
    EXPECT_EQ(instances_(), 0u);
}

TEST_F(GeneratorLibraryTest, HostPreviewStartsWithTheStoredConnectionAndLeavesTheHeaderOut)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("orders.sql");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "/* Vorn Reconnect: server:db:3306;database:shop;username:anna;databasetype:MySQL; {\"application\":"
        "\"Vorn 3\",\"connection\":{\"name\":\"Shop\",\"databaseType\":\"MySQL\"},"
        "\"documentOptions\":{\"application\":\"Vorn 3\"}}\n * More info */\n"
        "SELECT `id` FROM orders # recent\n");
    file.close();

    QString error;
    const std::unique_ptr<PreviewGeneratorHost> host = PreviewGeneratorHost::load(libraryPath(), &error);
    ASSERT_TRUE(host) << error.toStdString();
    const QMap<QByteArray, QByteArray> preview = host->previewForURL(QUrl::fromLocalFile(path).toString());
    const QByteArray rtf = preview.value("text/rtf");
    const QString html = QString::fromUtf8(preview.value("text/html"));
    ASSERT_FALSE(rtf.isEmpty());
    const qsizetype body = rtf.indexOf("\\fs22 ");
    ASSERT_GE(body, 0);
    EXPECT_TRUE(rtf.mid(body).startsWith("\\fs22 {\\cf0\\b Shop\\par")) << rtf.constData();
    EXPECT_FALSE(rtf.contains("Reconnect"));
    EXPECT_TRUE(rtf.contains("# recent")) << "a MySQL comment";
    EXPECT_TRUE(html.contains("<div id='connectionName'>Shop</div>"));
    EXPECT_TRUE(html.contains("<span class=\"comment\"># recent<br/></span>"));
    EXPECT_TRUE(html.contains(".reserved")) << "the page carries the style sheet";
}

TEST_F(GeneratorLibraryTest, UnreadableFileGivesAnEmptyRichTextPreview)
{
    QString error;
    const std::unique_ptr<PreviewGeneratorHost> host = PreviewGeneratorHost::load(libraryPath(), &error);
    ASSERT_TRUE(host) << error.toStdString();
    const QByteArray rtf = host->previewForURL(QStringLiteral("/nonexistent/x.sql")).value("text/rtf");
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.endsWith("\\fs22 }\n")) << rtf.constData();
}

TEST(PreviewGeneratorHostTest, MissingLibraryIsReported)
{
    QString error;
    EXPECT_FALSE(PreviewGeneratorHost::load(QStringLiteral("/nonexistent/libVornQuickLook.so"), &error));
    EXPECT_TRUE(error.startsWith("Cannot load the preview generator")) << error.toStdString();
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(PreviewLibraryFileTest, ExportsOnlyTheCInterfaceAndNeedsNoVornLibrary)
{
    const QStringList exported = run("nm", {"-D", "--defined-only", "--format=just-symbols", libraryPath()})
                                     .split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(exported,
              QStringList({"QuickLookGeneratorPluginFactory", "QuickLookGeneratorPluginInstanceCount"}));
    QStringList needed;
    for (const QString &line : run("readelf", {"-d", libraryPath()}).split('\n'))
        if (line.contains("(NEEDED)"))
            needed.append(line.section('[', 1).section(']', 0, 0));
    EXPECT_TRUE(needed.contains("libQt6Core.so.6")) << needed.join(' ').toStdString();
    for (const QString &library : needed) {
        EXPECT_FALSE(library.contains("vorn", Qt::CaseInsensitive)) << library.toStdString();
        EXPECT_FALSE(library.contains("Qt6Widgets")) << library.toStdString();
    }
}

} // namespace
