#pragma once

#include "QuickLookGenerator.h"

struct QuickLookGeneratorPluginType;

// The instance's life (QuickLookGenerator.cpp).
QuickLookGeneratorPluginType *AllocQuickLookGeneratorPluginType(VornUUIDBytes factoryID);
void DeallocQuickLookGeneratorPluginType(QuickLookGeneratorPluginType *instance);
VornHResult QuickLookGeneratorQueryInterface(void *thisInstance, VornUUIDBytes interfaceID, void **out);
uint32_t QuickLookGeneratorPluginAddRef(void *thisInstance);
uint32_t QuickLookGeneratorPluginRelease(void *thisInstance);

// The four callbacks of the generator interface (GeneratorCallbacks.cpp).
VornOSStatus GenerateThumbnailForURL(void *thisInterface, VornQLRequest *thumbnail, const char *url,
                                     const char *contentTypeUTI, const void *options, VornSize maxSize);
void CancelThumbnailGeneration(void *thisInterface, VornQLRequest *thumbnail);
VornOSStatus GeneratePreviewForURL(void *thisInterface, VornQLRequest *preview, const char *url,
                                   const char *contentTypeUTI, const void *options);
void CancelPreviewGeneration(void *thisInterface, VornQLRequest *preview);
