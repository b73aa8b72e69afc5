// The start-screen archive (generated at build time) as raw resource 177 of
// type "SPLASH".
#include "app/resources/splash_resource.h"

#include "app/resources/raw_resources.h"
#include "app/resources/resource_ids.h"

namespace fotrix {

extern const uint8_t kSplashArchive[];
extern const size_t kSplashArchiveSize;

void RegisterSplashResource() { RegisterRawResource(kSplashType, kSplashResource, kSplashArchive, kSplashArchiveSize); }

}  // namespace fotrix
