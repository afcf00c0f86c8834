// Run from the build tree: build/bin/bench_bridge (the VM starts from build/share/vorn/Info.plist).
#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace
{
QoJavaClass *javaClass(const char *name)
{
    return QoJavaBridge::javaBridge()->classForName(QString::fromLatin1(name));
}

QVariantList strings(int count)
{
    QVariantList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("value %1").arg(i);
    return list;
}

void staticCallWithStringArgument(benchmark::State &state)
{
    QoJavaClass *integer = javaClass("java/lang/Integer");
    for (auto _ : state)
        benchmark::DoNotOptimize(integer->callStatic(QStringLiteral("parseInt:"), {QStringLiteral("12345")}));
}
BENCHMARK(staticCallWithStringArgument);

void instanceCallReturningString(benchmark::State &state)
{
    const QoJavaObjectPtr builder = javaClass("java/lang/StringBuilder")->newObject();
    builder->call(QStringLiteral("append:"), {QStringLiteral("text")});
    for (auto _ : state)
        benchmark::DoNotOptimize(builder->call(QStringLiteral("toString")));
}
BENCHMARK(instanceCallReturningString);

void instanceCallReturningProxy(benchmark::State &state)
{
    const QoJavaObjectPtr vector = JavaUtils::vectorFromArray(QVariantList{QVariant(QVariantList{})});
    for (auto _ : state)
        benchmark::DoNotOptimize(vector->call(QStringLiteral("get:"), {0}));
}
BENCHMARK(instanceCallReturningProxy);

void arrayFromVector(benchmark::State &state)
{
    const QoJavaObjectPtr vector = JavaUtils::vectorFromArray(strings(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(JavaUtils::arrayFromVector(vector));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(arrayFromVector)->Arg(1000);

void vectorFromArray(benchmark::State &state)
{
    const QVariantList list = strings(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(JavaUtils::vectorFromArray(list));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(vectorFromArray)->Arg(1000);

void dictionaryFromHashtable(benchmark::State &state)
{
    QVariantMap row;
    for (int i = 0; i < state.range(0); ++i)
        row.insert(QStringLiteral("COLUMN_%1").arg(i), i);
    const QoJavaObjectPtr hashtable = JavaUtils::hashtableFromDictionary(row);
    for (auto _ : state)
        benchmark::DoNotOptimize(JavaUtils::dictionaryFromHashtable(hashtable));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(dictionaryFromHashtable)->Arg(20);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!QoJavaBridge::javaBridge()->hasVirtualMachine())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
