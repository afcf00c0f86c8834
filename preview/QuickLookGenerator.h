#pragma once

// The preview generator's C interface, in the plug-in COM form of a QuickLook generator: a host
// opens the library, asks the exported factory for an instance of the generator type, asks that
// instance for the callbacks interface and calls the callbacks through the instance's function
// table. The instance is a pointer to a pointer to its table; every function of the table takes
// the instance as its first argument.
//
// On this platform a URL is a file URL or a plain path (UTF-8), and a request is a structure of
// the host's whose callback receives what the generator produces.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VORN_QUICKLOOK_EXPORT __attribute__((visibility("default")))

typedef int32_t VornHResult;
typedef int32_t VornOSStatus;

#define VORN_S_OK ((VornHResult)0)
#define VORN_E_NOINTERFACE ((VornHResult)0x80000004)
#define VORN_NO_ERR ((VornOSStatus)0)

// A UUID as its 16 bytes, in the order its text form lists them.
typedef struct VornUUIDBytes {
    uint8_t bytes[16];
} VornUUIDBytes;

typedef struct VornSize {
    double width;
    double height;
} VornSize;

// A host's preview or thumbnail request. The generator hands each representation it makes to
// setDataRepresentation (data valid only during the call; contentType a MIME type such as
// "text/rtf" or "text/html"). Representations not handed over are simply not made.
typedef struct VornQLRequest {
    void *context;
    void (*setDataRepresentation)(struct VornQLRequest *request, const char *data, size_t length,
                                  const char *contentType);
} VornQLRequest;

// The generator interface's function table, slots in the order the interface fixes.
typedef struct VornQLGeneratorInterface {
    void *reserved;
    VornHResult (*QueryInterface)(void *instance, VornUUIDBytes interfaceID, void **out);
    uint32_t (*AddRef)(void *instance);
    uint32_t (*Release)(void *instance);
    VornOSStatus (*GenerateThumbnailForURL)(void *instance, VornQLRequest *thumbnail, const char *url,
                                            const char *contentTypeUTI, const void *options,
                                            VornSize maxSize);
    void (*CancelThumbnailGeneration)(void *instance, VornQLRequest *thumbnail);
    VornOSStatus (*GeneratePreviewForURL)(void *instance, VornQLRequest *preview, const char *url,
                                          const char *contentTypeUTI, const void *options);
    void (*CancelPreviewGeneration)(void *instance, VornQLRequest *preview);
} VornQLGeneratorInterface;

// The generator type and the callbacks interface, as the QuickLook interface defines them, and this
// plug-in's factory.
#define VORN_QL_GENERATOR_TYPE_ID "5E2D9680-5022-40FA-B806-43349622E5B9"
#define VORN_QL_GENERATOR_CALLBACKS_INTERFACE_ID "865AF5E0-6D30-4345-951B-D37105754F2D"
#define VORN_QUICKLOOK_FACTORY_ID "D68C734E-CE43-4919-B1FC-82251BC20D4D"
#define VORN_QUICKLOOK_FACTORY_FUNCTION "QuickLookGeneratorPluginFactory"

// An instance (count 1) for the generator type, NULL for any other type. allocator is unused.
VORN_QUICKLOOK_EXPORT void *QuickLookGeneratorPluginFactory(const void *allocator, VornUUIDBytes typeID);

// The number of generator instances alive in this library (the plug-in host's bookkeeping).
VORN_QUICKLOOK_EXPORT uint32_t QuickLookGeneratorPluginInstanceCount(void);

#ifdef __cplusplus
}
#endif
