// The generator's plug-in shell: factory, instances with their reference count, and the query for
// the callbacks interface. The callbacks themselves are in GeneratorCallbacks.cpp.
#include "QuickLookGenerator.h"
#include "GeneratorCallbacks.h"
#include "GeneratorUUID.h"

#include <atomic>

namespace
{

// The static table; an instance gets its own copy, whose callback slots the interface query fills.
const VornQLGeneratorInterface myInterfaceFtbl = {
    nullptr,
    QuickLookGeneratorQueryInterface,
    QuickLookGeneratorPluginAddRef,
    QuickLookGeneratorPluginRelease,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// The instances alive, as the plug-in host's registry of a factory's instances would count them.
std::atomic<uint32_t> factoryInstances{0};

} // namespace

// The instance as the host sees it: a pointer to its table comes first.
struct QuickLookGeneratorPluginType {
    VornQLGeneratorInterface *conduitInterface;
    VornUUIDBytes factoryID;
    std::atomic<uint32_t> refCount;
};

QuickLookGeneratorPluginType *AllocQuickLookGeneratorPluginType(VornUUIDBytes factoryID)
{
    auto *instance = new QuickLookGeneratorPluginType{nullptr, factoryID, {1}};
    instance->conduitInterface = new VornQLGeneratorInterface(myInterfaceFtbl);
    factoryInstances.fetch_add(1);
    return instance;
}

void DeallocQuickLookGeneratorPluginType(QuickLookGeneratorPluginType *instance)
{
    delete instance->conduitInterface;
    delete instance;
    factoryInstances.fetch_sub(1);
}

VornHResult QuickLookGeneratorQueryInterface(void *thisInstance, VornUUIDBytes interfaceID, void **out)
{
    auto *instance = static_cast<QuickLookGeneratorPluginType *>(thisInstance);
    if (!GeneratorUUID::equals(interfaceID, VORN_QL_GENERATOR_CALLBACKS_INTERFACE_ID)) {
        *out = nullptr;
        return VORN_E_NOINTERFACE;
    }
    VornQLGeneratorInterface *table = instance->conduitInterface;
    table->GenerateThumbnailForURL = GenerateThumbnailForURL;
    table->CancelThumbnailGeneration = CancelThumbnailGeneration;
    table->GeneratePreviewForURL = GeneratePreviewForURL;
    table->CancelPreviewGeneration = CancelPreviewGeneration;
    table->AddRef(instance);
    *out = instance;
    return VORN_S_OK;
}

uint32_t QuickLookGeneratorPluginAddRef(void *thisInstance)
{
    return static_cast<QuickLookGeneratorPluginType *>(thisInstance)->refCount.fetch_add(1) + 1;
}

uint32_t QuickLookGeneratorPluginRelease(void *thisInstance)
{
    auto *instance = static_cast<QuickLookGeneratorPluginType *>(thisInstance);
    const uint32_t count = instance->refCount.fetch_sub(1) - 1;
    if (count == 0)
        DeallocQuickLookGeneratorPluginType(instance);
    return count;
}

extern "C" {

void *QuickLookGeneratorPluginFactory(const void *, VornUUIDBytes typeID)
{
    if (!GeneratorUUID::equals(typeID, VORN_QL_GENERATOR_TYPE_ID))
        return nullptr;
    return AllocQuickLookGeneratorPluginType(GeneratorUUID::fromString(VORN_QUICKLOOK_FACTORY_ID));
}

uint32_t QuickLookGeneratorPluginInstanceCount(void)
{
    return factoryInstances.load();
}

} // extern "C"
