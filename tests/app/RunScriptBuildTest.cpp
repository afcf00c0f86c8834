// scripts/run builds the program alone, not the tests and benchmarks, and then starts it. The
// script runs for real with the slow parts stood in for on PATH: cmake records its call, the
// package check answers "installed", and the build folder's program records what it opens.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + body);
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(RunScriptBuildTest, BuildsOnlyTheProgramTargetAndStartsItWithTheDemoDocument)
{
    QTemporaryDir scratch;
    const QString stubs = scratch.filePath("stubs");
    const QString build = scratch.filePath("build");
    ASSERT_TRUE(QDir().mkpath(stubs) && QDir().mkpath(build + "/bin"));
    QFile(build + "/CMakeCache.txt").open(QIODevice::WriteOnly);
    const QString calls = scratch.filePath("cmake-calls");
    const QString opened = scratch.filePath("opened");
    ASSERT_TRUE(writeScript(stubs + "/cmake", "echo \"$*\" >> '" + calls.toUtf8() + "'\n"));
    ASSERT_TRUE(writeScript(stubs + "/dpkg-query", "echo 'install ok installed'\n"));
    ASSERT_TRUE(writeScript(stubs + "/service", "exit 0\n"));
    ASSERT_TRUE(writeScript(build + "/bin/vorn", "echo \"$*\" > '" + opened.toUtf8() + "'\n"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", stubs + ":" + environment.value("PATH"));
    environment.insert("VORN_BUILD_DIR", build);
    environment.insert("XDG_DATA_HOME", scratch.filePath("data"));
    environment.insert("DISPLAY", ":0"); // a display, so the program starts without xvfb-run
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start("bash", {qEnvironmentVariable("VORN_SOURCE_DIR") + "/scripts/run"});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAll().toStdString();

    const QStringList builds = readText(calls).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(builds.size(), 1) << readText(calls).toStdString();
    EXPECT_TRUE(builds.first().startsWith("--build " + build + " --parallel "));
    EXPECT_TRUE(builds.first().endsWith(" --target vorn")) << builds.first().toStdString();
    EXPECT_EQ(readText(opened).trimmed(), scratch.filePath("data/Vorn/Demo/Demo.sql"));
}

// What the program's target brings along: the backend jar, never a test or a benchmark.
TEST(RunScriptBuildTest, ProgramTargetBuildsTheBackendButNoTestOrBenchmark)
{
    const QString build = qEnvironmentVariable("VORN_BUILD_DIR");
    if (!QFile::exists(build + "/build.ninja"))
        GTEST_SKIP() << "the build folder is not a Ninja build";
    QProcess ninja;
    ninja.start("ninja", {"-C", build, "-t", "inputs", "vorn"});
    ASSERT_TRUE(ninja.waitForFinished(60000));
    ASSERT_EQ(ninja.exitCode(), 0) << ninja.readAllStandardError().toStdString();
    const QStringList inputs =
        QString::fromUtf8(ninja.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(inputs.contains("backend/CMakeFiles/vorn_backend.dir/java_compiled_vorn_backend"));
    for (const QString &input : inputs) {
        EXPECT_FALSE(input.startsWith("tests/") || input.contains("/tests/")) << input.toStdString();
        EXPECT_FALSE(input.startsWith("bench/") || input.contains("/bench/")) << input.toStdString();
    }
}

} // namespace
