#include "bridge/JavaValueConverter.h"

#include "bridge/BridgeLog.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaObject.h"

#include <QDebug>

#include <cmath>
#include <limits>
#include <optional>

using Kind = QoJavaMethod::Kind;

struct JavaValueConverter::Wrapper {
    const char *type;
    const char *slashName;
    const char *valueOfSignature;
    const char *unboxSelector;
    Kind kind;
};

namespace
{
const QString objectType = QStringLiteral("java.lang.Object");

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

bool isIntegral(double value)
{
    return std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 9.2e18;
}

// The value as a 64-bit integer (fractions cut off); none for a number beyond the 64-bit range.
std::optional<qint64> integerOf(const QVariant &arg)
{
    switch (arg.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double value = std::trunc(arg.toDouble());
        // -2^63 is exact as a double, 2^63 is the first value beyond the range.
        if (!(value >= -0x1p63 && value < 0x1p63))
            return std::nullopt;
        return qint64(value);
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        if (arg.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return arg.toLongLong();
    case QMetaType::QChar:
        return arg.toChar().unicode();
    default:
        return arg.toLongLong();
    }
}

jchar charOf(const QVariant &arg)
{
    if (arg.metaType().id() == QMetaType::QChar)
        return arg.toChar().unicode();
    if (arg.metaType().id() == QMetaType::QString) {
        const QString text = arg.toString();
        return text.isEmpty() ? 0 : text.at(0).unicode();
    }
    return jchar(arg.toLongLong());
}

QString slashed(const QString &type)
{
    return QString(type).replace(QLatin1Char('.'), QLatin1Char('/'));
}
} // namespace

JavaValueConverter::JavaValueConverter(QoJavaBridge *bridge) : bridge_(bridge) {}

// ---- Kinds ------------------------------------------------------------------------------------

JavaValueConverter::ArgKind JavaValueConverter::kindOf(const QVariant &arg)
{
    if (!arg.isValid())
        return ArgKind::Null;
    if (arg.metaType() == QMetaType::fromType<QoJavaObjectPtr>())
        return arg.value<QoJavaObjectPtr>() ? ArgKind::Proxy : ArgKind::Null;
    switch (arg.metaType().id()) {
    case QMetaType::Nullptr:
        return ArgKind::Null;
    case QMetaType::QString:
        return ArgKind::String;
    case QMetaType::QChar:
        return ArgKind::Char;
    case QMetaType::Bool:
        return ArgKind::Bool;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
        return ArgKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return ArgKind::Floating;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return ArgKind::List;
    case QMetaType::QVariantMap:
        return ArgKind::Map;
    default:
        return ArgKind::Other;
    }
}

const JavaValueConverter::Wrapper *JavaValueConverter::wrapperForType(const QString &type)
{
    static const Wrapper wrappers[] = {
        {"java.lang.Integer", "java/lang/Integer", "(I)Ljava/lang/Integer;", "intValue", Kind::Int},
        {"java.lang.Long", "java/lang/Long", "(J)Ljava/lang/Long;", "longValue", Kind::Long},
        {"java.lang.Short", "java/lang/Short", "(S)Ljava/lang/Short;", "shortValue", Kind::Short},
        {"java.lang.Byte", "java/lang/Byte", "(B)Ljava/lang/Byte;", "byteValue", Kind::Byte},
        {"java.lang.Double", "java/lang/Double", "(D)Ljava/lang/Double;", "doubleValue", Kind::Double},
        {"java.lang.Float", "java/lang/Float", "(F)Ljava/lang/Float;", "floatValue", Kind::Float},
        {"java.lang.Boolean", "java/lang/Boolean", "(Z)Ljava/lang/Boolean;", "booleanValue", Kind::Boolean},
        {"java.lang.Character", "java/lang/Character", "(C)Ljava/lang/Character;", "charValue", Kind::Char},
    };
    for (const Wrapper &wrapper : wrappers) {
        if (type == QLatin1String(wrapper.type) || type == QLatin1String(wrapper.slashName))
            return &wrapper;
    }
    return nullptr;
}

const JavaValueConverter::Wrapper *JavaValueConverter::wrapperForKind(Kind kind)
{
    switch (kind) {
    case Kind::Int:
        return wrapperForType(QStringLiteral("java.lang.Integer"));
    case Kind::Long:
        return wrapperForType(QStringLiteral("java.lang.Long"));
    case Kind::Double:
        return wrapperForType(QStringLiteral("java.lang.Double"));
    case Kind::Boolean:
        return wrapperForType(QStringLiteral("java.lang.Boolean"));
    case Kind::Char:
        return wrapperForType(QStringLiteral("java.lang.Character"));
    default:
        return nullptr;
    }
}

// The wrapper a value becomes for an Object or Number parameter: integers that fit 32 bits are
// Integer, wider ones Long, fractional ones Double.
const JavaValueConverter::Wrapper *JavaValueConverter::naturalWrapper(ArgKind kind, const QVariant &arg)
{
    switch (kind) {
    case ArgKind::Char:
        return wrapperForKind(Kind::Char);
    case ArgKind::Bool:
        return wrapperForKind(Kind::Boolean);
    case ArgKind::Integer:
        if (arg.metaType().id() == QMetaType::ULongLong || arg.metaType().id() == QMetaType::ULong)
            return wrapperForKind(
                arg.toULongLong() <= quint64(std::numeric_limits<qint32>::max()) ? Kind::Int : Kind::Long);
        return wrapperForKind(fitsInt32(arg.toLongLong()) ? Kind::Int : Kind::Long);
    case ArgKind::Floating: {
        const double value = arg.toDouble();
        if (!isIntegral(value))
            return wrapperForKind(Kind::Double);
        return wrapperForKind(fitsInt32(qint64(value)) ? Kind::Int : Kind::Long);
    }
    default:
        return nullptr;
    }
}

bool JavaValueConverter::isScalar(ArgKind kind)
{
    return kind == ArgKind::String || kind == ArgKind::Char || kind == ArgKind::Bool ||
           kind == ArgKind::Integer || kind == ArgKind::Floating;
}

// The wrapper a value is boxed into for an object parameter: the declared one, else its natural one.
const JavaValueConverter::Wrapper *JavaValueConverter::boxingWrapper(const QString &type, const QVariant &arg)
{
    const ArgKind kind = kindOf(arg);
    if (const Wrapper *declared = wrapperForType(type); declared && isScalar(kind))
        return declared;
    if (kind == ArgKind::String || !isScalar(kind))
        return nullptr;
    return naturalWrapper(kind, arg);
}

// ---- Arguments --------------------------------------------------------------------------------

std::optional<std::vector<jvalue>> JavaValueConverter::arguments(JNIEnv *env, const QoJavaMethod &method,
                                                                 const QVariantList &args)
{
    std::vector<jvalue> values(size_t(method.parameterCount()), jvalue{});
    for (int i = 0; i < method.parameterCount() && i < args.size(); ++i) {
        const QString &type = method.parameterTypes().at(i);
        const QVariant &arg = args.at(i);
        const Kind kind = QoJavaMethod::kindOfType(type);
        const Wrapper *wrapper = QoJavaMethod::isPrimitive(kind) ? nullptr : boxingWrapper(type, arg);
        // A number the parameter cannot hold is never cut to size: the call is not made.
        if (!fitsKind(wrapper ? wrapper->kind : kind, arg)) {
            logOutOfRange(type, arg);
            return std::nullopt;
        }
        if (QoJavaMethod::isPrimitive(kind))
            values[size_t(i)] = *primitiveValue(kind, arg);
        else
            values[size_t(i)].l = objectArgument(env, type, arg);
    }
    return values;
}

bool JavaValueConverter::fitsKind(Kind kind, const QVariant &arg)
{
    const ArgKind argKind = kindOf(arg);
    if (argKind != ArgKind::Integer && argKind != ArgKind::Floating && argKind != ArgKind::String)
        return true;
    return primitiveValue(kind, arg).has_value();
}

std::optional<jvalue> JavaValueConverter::primitiveValue(Kind kind, const QVariant &arg)
{
    jvalue value{};
    switch (kind) {
    case Kind::Boolean:
        value.z = arg.toBool() ? JNI_TRUE : JNI_FALSE;
        break;
    case Kind::Byte:
        value.b = jbyte(integerOf(arg).value_or(0)); // the low 8 bits, as Java's cast
        break;
    case Kind::Char:
        value.c = charOf(arg);
        break;
    case Kind::Short:
        value.s = jshort(integerOf(arg).value_or(0)); // the low 16 bits, as Java's cast
        break;
    case Kind::Int: {
        const std::optional<qint64> integer = integerOf(arg);
        if (!integer || !fitsInt32(*integer))
            return std::nullopt;
        value.i = jint(*integer);
        break;
    }
    case Kind::Long: {
        const std::optional<qint64> integer = integerOf(arg);
        if (!integer)
            return std::nullopt;
        value.j = jlong(*integer);
        break;
    }
    case Kind::Float:
        value.f = jfloat(arg.toDouble());
        break;
    case Kind::Double:
        value.d = arg.toDouble();
        break;
    default:
        break;
    }
    return value;
}

jobject JavaValueConverter::objectArgument(JNIEnv *env, const QString &type, const QVariant &arg)
{
    const ArgKind kind = kindOf(arg);
    jobject object = nullptr;
    if (kind == ArgKind::Null)
        return nullptr;
    if (const Wrapper *wrapper = wrapperForType(type); wrapper && isScalar(kind))
        object = box(env, *wrapper, arg); // the declared wrapper, whatever the value's own width
    else if (type == QLatin1String("java.lang.String") && isScalar(kind))
        object = QoJavaBridge::createJString(arg.toString(), env);
    else
        object = naturalObject(env, kind, arg);
    // JNI does not check argument types: a wrong one would corrupt the VM, so it never goes in.
    if (!object || !isAssignable(env, object, type)) {
        if (object && kind != ArgKind::Proxy)
            env->DeleteLocalRef(object);
        logUnconvertible(type, arg);
        return nullptr;
    }
    return object;
}

jobject JavaValueConverter::naturalObject(JNIEnv *env, ArgKind kind, const QVariant &arg)
{
    switch (kind) {
    case ArgKind::Proxy:
        return arg.value<QoJavaObjectPtr>()->reference();
    case ArgKind::String:
        return QoJavaBridge::createJString(arg.toString(), env);
    case ArgKind::Char:
    case ArgKind::Bool:
    case ArgKind::Integer:
    case ArgKind::Floating:
        return box(env, *naturalWrapper(kind, arg), arg);
    case ArgKind::List:
        return vectorFromList(env, arg.toList());
    case ArgKind::Map:
        return hashtableFromMap(env, arg.toMap());
    default:
        return nullptr;
    }
}

bool JavaValueConverter::isAssignable(JNIEnv *env, jobject object, const QString &type)
{
    if (type == objectType)
        return true;
    jclass parameterClass = bridge_->findClassReference(slashed(type), env);
    return parameterClass && env->IsInstanceOf(object, parameterClass);
}

jobject JavaValueConverter::box(JNIEnv *env, const Wrapper &wrapper, const QVariant &arg)
{
    QoJavaClass *wrapperClass = bridge_->classForName(QLatin1String(wrapper.slashName));
    const QoJavaMethod *valueOf = wrapperClass->staticMethodForSelectorAndSignature(
        QStringLiteral("valueOf:"), QLatin1String(wrapper.valueOfSignature));
    const std::optional<jvalue> primitive = primitiveValue(wrapper.kind, arg);
    if (!primitive)
        return nullptr;
    jobject boxed = env->CallStaticObjectMethodA(wrapperClass->reference(), valueOf->methodId(), &*primitive);
    return QoJavaBridge::clearException(env) ? nullptr : boxed;
}

jobject JavaValueConverter::vectorFromList(JNIEnv *env, const QVariantList &list)
{
    QoJavaClass *vectorClass = bridge_->classForName(QStringLiteral("java/util/Vector"));
    const QoJavaMethod *constructor = vectorClass->methodForSelectorAndSignature("<init>", "()V");
    const QoJavaMethod *add = vectorClass->methodForSelectorAndSignature("add:", "(Ljava/lang/Object;)Z");
    jobject vector = env->NewObject(vectorClass->reference(), constructor->methodId());
    if (QoJavaBridge::clearException(env))
        return nullptr;
    for (const QVariant &element : list) {
        jobject item = objectArgument(env, objectType, element);
        env->CallBooleanMethod(vector, add->methodId(), item);
        QoJavaBridge::clearException(env);
        if (item && kindOf(element) != ArgKind::Proxy)
            env->DeleteLocalRef(item);
    }
    return vector;
}

jobject JavaValueConverter::hashtableFromMap(JNIEnv *env, const QVariantMap &map)
{
    QoJavaClass *hashtableClass = bridge_->classForName(QStringLiteral("java/util/Hashtable"));
    const QoJavaMethod *constructor = hashtableClass->methodForSelectorAndSignature("<init>", "()V");
    const QoJavaMethod *put = hashtableClass->methodForSelectorAndSignature(
        "put::", "(Ljava/lang/Object;Ljava/lang/Object;)Ljava/lang/Object;");
    jobject hashtable = env->NewObject(hashtableClass->reference(), constructor->methodId());
    if (QoJavaBridge::clearException(env))
        return nullptr;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        // A Hashtable cannot hold null: a missing value is a missing key.
        jobject value = objectArgument(env, objectType, it.value());
        if (!value)
            continue;
        jstring key = QoJavaBridge::createJString(it.key(), env);
        jobject previous = env->CallObjectMethod(hashtable, put->methodId(), key, value);
        if (!QoJavaBridge::clearException(env))
            env->DeleteLocalRef(previous);
        env->DeleteLocalRef(key);
        if (kindOf(it.value()) != ArgKind::Proxy)
            env->DeleteLocalRef(value);
    }
    return hashtable;
}

void JavaValueConverter::logOutOfRange(const QString &type, const QVariant &arg)
{
    qCWarning(lcBridge).noquote() << QStringLiteral(
                                         "Can't make parameter from %1 into %2: out of range, not called")
                                         .arg(arg.toString(), type);
}

void JavaValueConverter::logUnconvertible(const QString &type, const QVariant &arg)
{
    qCWarning(lcBridge).noquote() << QStringLiteral("Can't make parameter from ? into %1").arg(type);
    qCWarning(lcBridge).noquote()
        << QStringLiteral("Can't make parameter from %1 into %2").arg(arg.toString(), type);
    qCWarning(lcBridge).noquote()
        << QStringLiteral("Can't make parameter %1").arg(QLatin1String(arg.typeName()));
}

// ---- Overload fit -----------------------------------------------------------------------------

int JavaValueConverter::fit(JNIEnv *env, const QoJavaMethod &method, const QVariantList &args)
{
    int total = 0;
    for (int i = 0; i < method.parameterCount(); ++i) {
        const int parameterFit = fitParameter(env, method.parameterTypes().at(i), args.value(i));
        if (parameterFit == 0)
            return 0;
        total += parameterFit;
    }
    return total + 1; // a method without parameters fits too
}

int JavaValueConverter::fitParameter(JNIEnv *env, const QString &type, const QVariant &arg)
{
    const ArgKind argKind = kindOf(arg);
    const Kind kind = QoJavaMethod::kindOfType(type);
    if (QoJavaMethod::isPrimitive(kind))
        return fitPrimitive(kind, argKind, arg);
    if (argKind == ArgKind::Null)
        return 1;
    if (const Wrapper *wrapper = boxingWrapper(type, arg); wrapper && !fitsKind(wrapper->kind, arg))
        return 0;
    const QString natural = naturalClass(argKind, arg);
    if (wrapperForType(type) && isScalar(argKind)) {
        if (natural == slashed(type))
            return 3;
        return argKind == ArgKind::String ? 1 : 2;
    }
    if (natural.isEmpty())
        return 0;
    if (natural == slashed(type))
        return 3;
    if (type == objectType)
        return 1;
    jclass parameterClass = bridge_->findClassReference(slashed(type), env);
    jclass naturalReference = bridge_->findClassReference(natural, env);
    return parameterClass && naturalReference && env->IsAssignableFrom(naturalReference, parameterClass) ? 2
                                                                                                         : 0;
}

int JavaValueConverter::fitPrimitive(Kind kind, ArgKind argKind, const QVariant &arg)
{
    if (!fitsKind(kind, arg))
        return 0;
    switch (argKind) {
    case ArgKind::Bool:
        return kind == Kind::Boolean ? 3 : 1;
    case ArgKind::Integer:
        if (kind == Kind::Int)
            return fitsInt32(arg.toLongLong()) ? 3 : 2;
        if (kind == Kind::Long)
            return fitsInt32(arg.toLongLong()) ? 2 : 3;
        return kind == Kind::Short || kind == Kind::Byte ? 2 : 1;
    case ArgKind::Floating:
        return kind == Kind::Double || kind == Kind::Float ? 3 : 1;
    case ArgKind::Char:
        return kind == Kind::Char ? 3 : 0;
    case ArgKind::String:
        return kind == Kind::Char && arg.toString().size() == 1 ? 2 : 0;
    default:
        return 0;
    }
}

QString JavaValueConverter::naturalClass(ArgKind kind, const QVariant &arg)
{
    switch (kind) {
    case ArgKind::Proxy:
        return arg.value<QoJavaObjectPtr>()->className();
    case ArgKind::String:
        return QStringLiteral("java/lang/String");
    case ArgKind::List:
        return QStringLiteral("java/util/Vector");
    case ArgKind::Map:
        return QStringLiteral("java/util/Hashtable");
    case ArgKind::Char:
    case ArgKind::Bool:
    case ArgKind::Integer:
    case ArgKind::Floating:
        return QLatin1String(naturalWrapper(kind, arg)->slashName);
    default:
        return QString();
    }
}

// ---- Results ----------------------------------------------------------------------------------

QVariant JavaValueConverter::unboxed(JNIEnv *env, const QoJavaClass &javaClass, jobject object)
{
    const Wrapper *wrapper = wrapperForType(javaClass.name());
    if (!wrapper)
        return {};
    const jmethodID id =
        javaClass.methodsForSelector(QLatin1String(wrapper->unboxSelector)).constFirst()->methodId();
    jvalue value{};
    switch (wrapper->kind) {
    case Kind::Int:
        value.i = env->CallIntMethod(object, id);
        break;
    case Kind::Long:
        value.j = env->CallLongMethod(object, id);
        break;
    case Kind::Short:
        value.s = env->CallShortMethod(object, id);
        break;
    case Kind::Byte:
        value.b = env->CallByteMethod(object, id);
        break;
    case Kind::Double:
        value.d = env->CallDoubleMethod(object, id);
        break;
    case Kind::Float:
        value.f = env->CallFloatMethod(object, id);
        break;
    case Kind::Boolean:
        value.z = env->CallBooleanMethod(object, id);
        break;
    case Kind::Char:
        value.c = env->CallCharMethod(object, id);
        break;
    default:
        return {};
    }
    return QoJavaBridge::clearException(env) ? QVariant() : primitiveResult(wrapper->kind, value);
}

QVariant JavaValueConverter::primitiveResult(Kind kind, jvalue value)
{
    switch (kind) {
    case Kind::Boolean:
        return bool(value.z);
    case Kind::Byte:
        return int(value.b);
    case Kind::Char:
        return QChar(value.c);
    case Kind::Short:
        return int(value.s);
    case Kind::Int:
        return int(value.i);
    case Kind::Long:
        return qint64(value.j);
    case Kind::Float:
        return double(value.f);
    case Kind::Double:
        return value.d;
    default:
        return {};
    }
}
