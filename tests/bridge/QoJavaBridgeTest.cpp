// The real VM, started from the build tree's Info.plist with the test jar on its class path.
#include "BridgeTestSupport.h"
#include "WaitFor.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaObject.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <limits>
#include <thread>
#include <unistd.h>

namespace
{
const QString subjectName = QStringLiteral("nl.dalmerik.vorn.bridgetest.BridgeSubject");

class QoJavaBridgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bridge = startedBridge();
        ASSERT_TRUE(bridge->hasVirtualMachine());
        subjectClass = bridge->classForName(subjectName);
        ASSERT_NE(subjectClass, nullptr);
        subject = subjectClass->newObject("(ILjava/lang/String;)V", {7, "seven"});
        ASSERT_NE(subject, nullptr);
    }

    QVariant call(const QString &selector, const QVariantList &args = {}) const
    {
        return subject->call(selector, args);
    }

    QoJavaBridge *bridge = nullptr;
    QoJavaClass *subjectClass = nullptr;
    QoJavaObjectPtr subject;
};

QoJavaObjectPtr proxy(const QVariant &value)
{
    return qvariant_cast<QoJavaObjectPtr>(value);
}
} // namespace

TEST_F(QoJavaBridgeTest, ClassesAreMirroredOnceUnderBothNameForms)
{
    EXPECT_EQ(bridge->classForName("nl/dalmerik/vorn/bridgetest/BridgeSubject"), subjectClass);
    EXPECT_EQ(subjectClass->name(), "nl/dalmerik/vorn/bridgetest/BridgeSubject");
    EXPECT_EQ(subjectClass->description(), "QoJavaClass: nl/dalmerik/vorn/bridgetest/BridgeSubject");
    EXPECT_EQ(bridge->classForName("java.util.Vector"), bridge->classForName("java/util/Vector"));
}

TEST_F(QoJavaBridgeTest, SelectorsAreTheNameWithOneColonPerParameter)
{
    QoJavaClass *hashtable = bridge->classForName("java/util/Hashtable");
    EXPECT_EQ(hashtable->methodsForSelector("put::").size(), 1);
    EXPECT_EQ(hashtable->methodsForSelector("size").size(), 1);
    // Constructors answer to no selector: they are told apart by signature only.
    EXPECT_NE(hashtable->methodForSelectorAndSignature("<init>", "()V"), nullptr);
    EXPECT_THROW(hashtable->methodsForSelector("put:"), QoJavaBridgeException);
    // Static and instance methods are apart.
    EXPECT_EQ(subjectClass->staticMethodsForSelector("twice:").size(), 1);
    EXPECT_THROW(subjectClass->methodsForSelector("twice:"), QoJavaBridgeException);
    EXPECT_EQ(subjectClass->methodsForSelector("describe:").size(), 3);
    const QoJavaMethod *put = hashtable->methodsForSelector("put::").constFirst();
    EXPECT_EQ(put->signature(), "(Ljava/lang/Object;Ljava/lang/Object;)Ljava/lang/Object;");
    EXPECT_EQ(put->parameterTypes(), QStringList({"java.lang.Object", "java.lang.Object"}));
    EXPECT_TRUE(put->isObject());
}

TEST_F(QoJavaBridgeTest, StaticsAndConstructors)
{
    EXPECT_EQ(subjectClass->callStatic("greeting:", {"Vorn"}), QVariant("Hello, Vorn"));
    EXPECT_EQ(subjectClass->callStatic("twice:", {21}), QVariant(42));

    EXPECT_EQ(subjectClass->newObject()->call("name"), QVariant("unnamed"));
    EXPECT_EQ(subjectClass->newObject("(Ljava/lang/String;)V", {"named"})->call("name"), QVariant("named"));
    EXPECT_EQ(call("number"), QVariant(7));
    EXPECT_EQ(bridge->instanceOfObject(subjectName)->className(),
              "nl/dalmerik/vorn/bridgetest/BridgeSubject");
    const QoJavaObjectPtr integer = bridge->createInteger(12);
    EXPECT_EQ(integer->className(), "java/lang/Integer");
    EXPECT_EQ(integer->call("intValue"), QVariant(12));
}

TEST_F(QoJavaBridgeTest, ConstructorsAnswerNoSelector)
{
    LogCapture log;
    const quint64 exceptionsBefore = QoJavaBridge::javaExceptionCount();
    // Sent on an object, a constructor would run again on it; sent to the class, without one.
    EXPECT_FALSE(call("<init>").isValid());
    EXPECT_FALSE(subjectClass->callStatic("<init>").isValid());
    EXPECT_FALSE(bridge->classForName("java/util/Vector")->newObject()->call("<init>").isValid());
    EXPECT_EQ(log.lines()
                  .filter("Constructors answer no selector: <init> of "
                          "nl/dalmerik/vorn/bridgetest/BridgeSubject not called")
                  .size(),
              2);
    EXPECT_EQ(log.lines().filter("<init> of java/util/Vector not called").size(), 1);
    EXPECT_EQ(QoJavaBridge::javaExceptionCount(), exceptionsBefore);
    EXPECT_EQ(call("name"), QVariant("seven"));
    EXPECT_THROW(subjectClass->methodsForSelector("<init>"), QoJavaBridgeException);
    // Still found by signature.
    EXPECT_NE(subjectClass->methodForSelectorAndSignature("<init>", "(Ljava/lang/String;)V"), nullptr);
}

TEST_F(QoJavaBridgeTest, MisuseRaisesTheNamedExceptions)
{
    struct Case {
        const char *name;
        std::function<void()> misuse;
        QString reason;
    };
    const QList<Case> cases{
        {"QoJavaBridgeClassNotFound", [&] { bridge->classForName("nl/dalmerik/vorn/NoSuchClass"); },
         "Class 'nl/dalmerik/vorn/NoSuchClass' couldn't be found"},
        {"QoJavaBridgeMethodNotFound", [&] { call("name:", {1}); }, "Method name: not found"},
        {"QoJavaBridgeMethodNotFound", [&] { subjectClass->callStatic("nope"); }, "Method nope not found"},
        {"QoJavaBridgeConstructorNotFound", [&] { bridge->classForName("java/lang/Integer")->newObject(); },
         "Empty constructor not found for QoJavaClass: java/lang/Integer"},
        {"QoJavaBridgeConstructorNotFound", [&] { subjectClass->newObject("(J)V", {1}); },
         "Constructor with signature (J)V not found for QoJavaClass: "
         "nl/dalmerik/vorn/bridgetest/BridgeSubject"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.misuse();
            ADD_FAILURE() << "no exception";
        } catch (const QoJavaBridgeException &exception) {
            EXPECT_EQ(exception.name(), c.name);
            EXPECT_EQ(exception.reason(), c.reason);
        }
    }
}

TEST_F(QoJavaBridgeTest, UnknownClassIsReportedToTheDelegateOnTheMainThread)
{
    RecordingDelegate delegate;
    bridge->setDelegate(&delegate);
    std::thread worker([&] {
        try {
            bridge->classForName("nl/dalmerik/vorn/Missing");
        } catch (const QoJavaBridgeException &) {
        }
        bridge->removeNativeThread();
    });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !delegate.configErrors().isEmpty(); }, 5000));
    ASSERT_EQ(delegate.configErrors().size(), 1);
    EXPECT_EQ(delegate.configErrors()[0].error, "No Class");
    EXPECT_EQ(delegate.configErrors()[0].description, "Class 'nl/dalmerik/vorn/Missing' couldn't be found.");
    EXPECT_TRUE(delegate.configErrors()[0].onMainThread);
    bridge->setDelegate(nullptr);
}

TEST_F(QoJavaBridgeTest, OverloadsAreChosenByArgumentKinds)
{
    EXPECT_EQ(call("describe:", {5}), QVariant("int 5"));
    EXPECT_EQ(call("describe:", {"five"}), QVariant("string five"));
    EXPECT_EQ(call("describe:", {QVariant::fromValue(subject)}),
              QVariant("object nl.dalmerik.vorn.bridgetest.BridgeSubject"));
    EXPECT_EQ(call("describe:", {QVariant(QVariantList{1})}), QVariant("object java.util.Vector"));
    EXPECT_EQ(call("pick:", {5}), QVariant("Integer"));
    EXPECT_EQ(call("pick:", {qint64(1) << 40}), QVariant("Long"));

    // null fits both Integer and Long: nothing is called.
    LogCapture log;
    EXPECT_FALSE(call("pick:", {QVariant()}).isValid());
    EXPECT_EQ(log.lines().filter("do not tell the overloads").size(), 1);
    // A wrong number of arguments makes no call either.
    EXPECT_FALSE(call("echoInt:", {}).isValid());
    EXPECT_EQ(log.lines().filter("takes 1 arguments, 0 given").size(), 1);
}

TEST_F(QoJavaBridgeTest, PrimitiveParametersAndResults)
{
    struct Case {
        const char *selector;
        QVariant in;
        QVariant out;
    };
    const QList<Case> cases{
        {"echoBoolean:", true, true},
        {"echoBoolean:", false, false},
        {"echoByte:", -5, -5},
        {"echoByte:", 0x1ff, -1}, // low 8 bits
        {"echoShort:", 0x12345, 0x2345},
        {"echoChar:", QChar(0x20ac), QChar(0x20ac)},
        {"echoChar:", "x", QChar('x')},
        {"echoInt:", std::numeric_limits<int>::min(), std::numeric_limits<int>::min()},
        {"echoLong:", std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max()},
        {"echoFloat:", 1.5, 1.5},
        {"echoDouble:", 1e300, 1e300},
        {"echoInt:", 2000.0, 2000}, // numbers read back from the preferences are doubles
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selector);
        const QVariant result = call(c.selector, {c.in});
        EXPECT_EQ(result, c.out) << result.typeName();
        EXPECT_EQ(result.metaType(), c.out.metaType()) << result.typeName();
    }
}

TEST_F(QoJavaBridgeTest, NumbersBeyondTheParameterRangeAreRefusedNotCut)
{
    const quint64 beyondLong = quint64(std::numeric_limits<qint64>::max()) + 1;
    struct Case {
        const char *selector;
        QVariant in;
        QVariant neutral; // the result of a call that is not made
        QString logged;
    };
    const QList<Case> cases{
        {"echoInt:", qint64(1) << 32, 0, "Can't make parameter from 4294967296 into int"},
        {"echoInt:", qint64(std::numeric_limits<qint32>::min()) - 1, 0,
         "Can't make parameter from -2147483649 into int"},
        {"echoInt:", uint(1) << 31, 0, "Can't make parameter from 2147483648 into int"},
        {"echoInt:", 3e9, 0, "Can't make parameter from 3e+09 into int"},
        {"echoInt:", "4294967296", 0, "Can't make parameter from 4294967296 into int"},
        {"boxedInteger:", qint64(1) << 32, QVariant(),
         "Can't make parameter from 4294967296 into java.lang.Integer"},
        {"boxedInteger:", -3e9, QVariant(), "Can't make parameter from -3e+09 into java.lang.Integer"},
        {"echoLong:", beyondLong, qint64(0), "Can't make parameter from 9223372036854775808 into long"},
        {"echoLong:", 1e19, qint64(0), "Can't make parameter from 1e+19 into long"},
        {"boxedLong:", beyondLong, QVariant(),
         "Can't make parameter from 9223372036854775808 into java.lang.Long"},
        {"classOf:", beyondLong, QVariant(),
         "Can't make parameter from 9223372036854775808 into java.lang.Object"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.logged.toStdString());
        LogCapture log;
        const quint64 exceptionsBefore = QoJavaBridge::javaExceptionCount();
        const QVariant result = call(c.selector, {c.in});
        EXPECT_EQ(result, c.neutral) << result.typeName();
        EXPECT_EQ(result.metaType(), c.neutral.metaType()) << result.typeName();
        EXPECT_EQ(log.lines().filter(c.logged).size(), 1) << qPrintable(log.lines().join("\n"));
        EXPECT_EQ(QoJavaBridge::javaExceptionCount(), exceptionsBefore);
    }
    // Neither is a constructor made with a number it cannot take.
    LogCapture log;
    EXPECT_EQ(subjectClass->newObject("(ILjava/lang/String;)V", {qint64(1) << 32, "wide"}), nullptr);
    EXPECT_EQ(log.lines().filter("Can't make parameter from 4294967296 into int").size(), 1);

    // The edges still go through, and an overload that cannot take the number is passed over.
    EXPECT_EQ(call("echoInt:", {qint64(std::numeric_limits<qint32>::max())}),
              QVariant(std::numeric_limits<qint32>::max()));
    EXPECT_EQ(call("echoInt:", {-2147483648.0}), QVariant(std::numeric_limits<qint32>::min()));
    EXPECT_EQ(call("echoLong:", {quint64(std::numeric_limits<qint64>::max())}),
              QVariant(std::numeric_limits<qint64>::max()));
    EXPECT_EQ(call("describe:", {qint64(1) << 32}), QVariant("object java.lang.Long"));
}

TEST_F(QoJavaBridgeTest, WrapperParametersTakeTheDeclaredTypeAndResultsComeBackNative)
{
    struct Case {
        const char *selector;
        QVariant in;
        QVariant out;
    };
    const QList<Case> cases{
        {"boxedInteger:", 42, 42},
        {"boxedInteger:", "17", 17}, // a string read as an integer
        {"boxedLong:", 5, qint64(5)},
        {"boxedLong:", qint64(1) << 40, qint64(1) << 40},
        {"boxedShort:", 300, 300},
        {"boxedByte:", 100, 100},
        {"boxedDouble:", 3, 3.0},
        {"boxedFloat:", 0.25, 0.25},
        {"boxedBoolean:", true, true},
        {"boxedBoolean:", 0, false},
        {"boxedCharacter:", QChar(0xe9), QChar(0xe9)},
        {"boxedLong:", QVariant(), QVariant()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selector);
        const QVariant result = call(c.selector, {c.in});
        EXPECT_EQ(result, c.out) << result.typeName();
        EXPECT_EQ(result.metaType(), c.out.metaType()) << result.typeName();
    }
}

TEST_F(QoJavaBridgeTest, NumbersForGeneralParametersArriveAsTheWrapperOfTheirSize)
{
    struct Case {
        QVariant in;
        QString objectClass;
    };
    const QList<Case> cases{
        {7, "java.lang.Integer"},
        {qint64(7), "java.lang.Integer"},
        {uint(7), "java.lang.Integer"},
        {qint64(1) << 33, "java.lang.Long"},
        {qint64(-1) << 40, "java.lang.Long"},
        {2.0, "java.lang.Integer"},
        {2.5, "java.lang.Double"},
        {true, "java.lang.Boolean"},
        {QChar('c'), "java.lang.Character"},
        {"s", "java.lang.String"},
        {QVariantList{}, "java.util.Vector"},
        {QVariantMap{}, "java.util.Hashtable"},
        {QVariant(), "null"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in.typeName());
        EXPECT_EQ(call("classOf:", {c.in}), QVariant(c.objectClass));
    }
    EXPECT_EQ(call("numberClassOf:", {qint64(1) << 33}), QVariant("java.lang.Long 8589934592"));
    EXPECT_EQ(call("numberClassOf:", {12}), QVariant("java.lang.Integer 12"));
    EXPECT_EQ(call("echoLong:", {7}), QVariant(qint64(7))); // a plain 64-bit integer for a long
}

TEST_F(QoJavaBridgeTest, ArgumentsThatCannotBecomeTheParameterTypeArriveAsNull)
{
    LogCapture log;
    // A string is no Number; a proxy of BridgeSubject is no CharSequence: JNI would not check.
    EXPECT_EQ(call("numberClassOf:", {"12"}), QVariant("null"));
    EXPECT_EQ(call("sequenceClassOf:", {QVariant::fromValue(subject)}), QVariant("null"));
    EXPECT_EQ(call("classOf:", {QByteArray("raw")}), QVariant("null"));
    EXPECT_EQ(log.count("Can't make parameter from ? into java.lang.Number"), 1);
    EXPECT_EQ(log.count("Can't make parameter from ? into java.lang.CharSequence"), 1);
    EXPECT_EQ(log.count("Can't make parameter QByteArray"), 1);
    EXPECT_EQ(call("sequenceClassOf:", {"text"}), QVariant("java.lang.String"));
}

TEST_F(QoJavaBridgeTest, StringsCrossAsUtf16)
{
    const QString nonBmp = QString::fromUtf8("caf\u00e9 \U0001F600 \u4e2d");
    EXPECT_EQ(call("echoString:", {nonBmp}), QVariant(nonBmp));
    EXPECT_EQ(call("length:", {nonBmp}), QVariant(int(nonBmp.size())));
    EXPECT_EQ(call("codePointCount:", {nonBmp}), QVariant(int(nonBmp.toUcs4().size())));

    const QVariant empty = call("emptyString");
    EXPECT_TRUE(empty.isValid());
    EXPECT_EQ(empty.metaType().id(), QMetaType::QString);
    EXPECT_TRUE(empty.toString().isEmpty());
    EXPECT_EQ(call("echoString:", {QString("")}), QVariant(QString("")));
    EXPECT_FALSE(call("echoString:", {QVariant()}).isValid());
    EXPECT_FALSE(call("nothing").isValid());
}

TEST_F(QoJavaBridgeTest, OtherObjectsAreProxiesOfTheirRunTimeClass)
{
    const QoJavaObjectPtr sequence = proxy(call("sequence"));
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(sequence->className(), "java/lang/StringBuilder"); // declared as CharSequence
    EXPECT_EQ(sequence->description(), "built");
    const QoJavaObjectPtr numbers = proxy(call("numbers"));
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->className(), "[I");
    EXPECT_EQ(proxy(call("list"))->call("size"), QVariant(1));
    // A lambda's class is hidden: no lookup by name finds it, its object still crosses.
    const QoJavaObjectPtr lambda = proxy(call("lambda"));
    ASSERT_NE(lambda, nullptr);
    EXPECT_TRUE(lambda->className().contains("$$Lambda")) << qPrintable(lambda->className());
    lambda->call("run");

    // The same Java object read twice: equal by Java's equals, different proxies.
    const QoJavaObjectPtr first = proxy(subjectClass->callStatic("shared"));
    const QoJavaObjectPtr second = proxy(subjectClass->callStatic("shared"));
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->reference(), second->reference());
    EXPECT_TRUE(first->isEqualTo(second));
    EXPECT_FALSE(first->isEqualTo(subject));
    EXPECT_TRUE(subject->isEqualTo(subjectClass->newObject("(Ljava/lang/String;)V", {"seven"})));
    EXPECT_EQ(first->description(), "BridgeSubject shared");
    // Proxies go back in as their Java object.
    EXPECT_EQ(call("echo:", {QVariant::fromValue(first)}).value<QoJavaObjectPtr>()->description(),
              "BridgeSubject shared");
}

TEST_F(QoJavaBridgeTest, JavaExceptionGivesTheEmptyResultAndOneReportPerArming)
{
    RecordingDelegate delegate;
    bridge->setDelegate(&delegate);
    bridge->setReportErrors(true);

    EXPECT_FALSE(call("fail:", {"first failure"}).isValid());
    const QVariant number = call("failInt");
    EXPECT_EQ(number, QVariant(0));
    EXPECT_EQ(subjectClass->newObject("(Z)V", {true}), nullptr);
    // The next call on the same thread works.
    EXPECT_EQ(call("name"), QVariant("seven"));

    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate.unexpectedErrors() > 0; }, 5000));
    QCoreApplication::processEvents(); // a second report would have been queued with the first
    EXPECT_EQ(delegate.unexpectedErrors(), 1);
    EXPECT_TRUE(delegate.unexpectedErrorsOnMainThread());
    EXPECT_FALSE(bridge->reportErrors());

    // lastErrorLog holds the last capture: the constructor's.
    const QString log = bridge->lastErrorLog();
    EXPECT_TRUE(log.contains("=========== Vorn Method Exception ============== ")) << qPrintable(log);
    EXPECT_TRUE(log.contains("    After calling: <init>")) << qPrintable(log);
    EXPECT_TRUE(log.contains("java.lang.IllegalStateException: constructor refused")) << qPrintable(log);
    EXPECT_FALSE(log.contains("first failure")) << qPrintable(log);
    QFile console(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                  "/java_error_console.out");
    ASSERT_TRUE(console.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(console.readAll()), log);

    // Re-armed, the next exception is reported again.
    bridge->setReportErrors(true);
    call("fail:", {"second failure"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate.unexpectedErrors() == 2; }, 5000));
    EXPECT_TRUE(bridge->lastErrorLog().contains("java.lang.IllegalArgumentException: second failure"));
    bridge->setDelegate(nullptr);
}

TEST_F(QoJavaBridgeTest, ReleasedProxiesAreDeletedInTheNextPassWithOneGcWhenAsked)
{
    const bool defaultGc = bridge->dereferencerRequestsGc();
    auto settled = [&] { return bridge->dereferenceStatistics().outstanding == 0; };
    for (const bool requestGc : {true, false}) {
        SCOPED_TRACE(requestGc ? "with gc" : "without gc");
        ASSERT_WAIT_FOR_MS(settled(), 30000);
        bridge->setDereferencerRequestsGc(requestGc);
        const auto before = bridge->dereferenceStatistics();

        const int released = 250;
        {
            std::vector<QoJavaObjectPtr> proxies;
            for (int i = 0; i < released; ++i)
                proxies.push_back(subjectClass->newObject());
            QoJavaObjectPtr weak = subjectClass->newObject();
            weak->setWeak(true); // does not own its reference: nothing is queued for it
            bridge->environment()->DeleteGlobalRef(weak->reference());
        }

        ASSERT_WAIT_FOR_MS(settled(), 30000);
        const auto after = bridge->dereferenceStatistics();
        const quint64 passes = after.passes - before.passes;
        EXPECT_GE(passes, 1u);
        EXPECT_EQ(after.deletedReferences - before.deletedReferences, quint64(released));
        EXPECT_EQ(after.gcRequests - before.gcRequests, requestGc ? passes : 0u); // one gc per pass
        if (passes == 1) {
            EXPECT_EQ(after.lastPassDeleted, quint64(released));
        }
    }
    bridge->setDereferencerRequestsGc(defaultGc);
}

TEST_F(QoJavaBridgeTest, OtherThreadsOutputStaysOutOfTheExceptionReport)
{
    // The bystander writes to standard output and error while the exception is being described
    // (the exception's toString() waits for it), as any other thread of the program may.
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    std::thread bystander([&] {
        bridge->attachNativeThread("Bystander");
        while (!stop) {
            if (!subjectClass->callStatic("awaitDescribing:", {20}).toBool())
                continue;
            const int line = ++written;
            std::fprintf(stdout, "bystander output line %d\n", line);
            std::fflush(stdout);
            std::fprintf(stderr, "bystander error line %d\n", line);
            subjectClass->callStatic("bystanderWrote");
        }
        bridge->removeNativeThread();
    });
    EXPECT_FALSE(call("failWhileOthersWrite:", {"reported alone"}).isValid());
    stop = true;
    bystander.join();
    ASSERT_GT(written.load(), 0) << "the bystander never wrote during the report";

    const QString log = bridge->lastErrorLog();
    EXPECT_FALSE(log.contains("bystander")) << qPrintable(log);
    for (const char *part : {"=========== Vorn Method Exception ============== \n",
                             "    After calling: failWhileOthersWrite\n", "\n\nJava Trace\n\n",
                             "nl.dalmerik.vorn.bridgetest.BridgeSubject$InterleavedFailure: reported alone",
                             "\tat nl.dalmerik.vorn.bridgetest.BridgeSubject.failWhileOthersWrite(",
                             "\n\nNative call stack:\n\n"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(part))) << part << "\n" << qPrintable(log);
    QFile console(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                  "/java_error_console.out");
    ASSERT_TRUE(console.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(console.readAll()), log);
}

TEST_F(QoJavaBridgeTest, TheReportGoesToStandardErrorWhole)
{
    QTemporaryFile captured;
    ASSERT_TRUE(captured.open());
    std::fflush(stderr);
    const int savedError = ::dup(STDERR_FILENO);
    ::dup2(captured.handle(), STDERR_FILENO);
    call("fail:", {"to the console"});
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);

    const QString log = bridge->lastErrorLog();
    EXPECT_TRUE(log.contains("java.lang.IllegalArgumentException: to the console")) << qPrintable(log);
    captured.seek(0);
    EXPECT_TRUE(QString::fromUtf8(captured.readAll()).contains(log));
}

TEST_F(QoJavaBridgeTest, JavaExceptionsAreRecordedPerThread)
{
    const quint64 before = QoJavaBridge::javaExceptionCount();
    EXPECT_EQ(call("name"), QVariant("seven"));
    EXPECT_FALSE(call("nothing").isValid()); // a Java null is no exception
    EXPECT_EQ(QoJavaBridge::javaExceptionCount(), before);

    call("fail:", {"counted"});
    EXPECT_EQ(QoJavaBridge::javaExceptionCount(), before + 1);
    EXPECT_EQ(QoJavaBridge::lastJavaExceptionMessage(), "java.lang.IllegalArgumentException: counted");
    EXPECT_EQ(subjectClass->newObject("(Z)V", {true}), nullptr);
    EXPECT_EQ(QoJavaBridge::javaExceptionCount(), before + 2);
    EXPECT_EQ(QoJavaBridge::lastJavaExceptionMessage(),
              "java.lang.IllegalStateException: constructor refused");

    quint64 otherBefore = 99, otherAfter = 0;
    QString otherMessageBefore = "unset", otherMessage;
    std::thread other([&] {
        bridge->attachNativeThread("Other");
        otherBefore = QoJavaBridge::javaExceptionCount();
        otherMessageBefore = QoJavaBridge::lastJavaExceptionMessage();
        call("failInt");
        otherAfter = QoJavaBridge::javaExceptionCount();
        otherMessage = QoJavaBridge::lastJavaExceptionMessage();
        bridge->removeNativeThread();
    });
    other.join();
    EXPECT_EQ(otherBefore, 0u);
    EXPECT_TRUE(otherMessageBefore.isNull());
    EXPECT_EQ(otherAfter, 1u);
    EXPECT_EQ(otherMessage, "java.lang.IllegalStateException: no number");
    EXPECT_EQ(QoJavaBridge::javaExceptionCount(), before + 2);
    EXPECT_EQ(QoJavaBridge::lastJavaExceptionMessage(),
              "java.lang.IllegalStateException: constructor refused");
}
