#pragma once
// Raw resources compiled into the program (the start screen's "SPLASH"
// archive), until the program's resource tables (app/resources) are merged
// in; then this file and its .cpp go.
#include <cstddef>

namespace fotrix {

constexpr int kSplashResourceId = 177;

struct RawResource {
    const void* data = nullptr;
    size_t size = 0;
};
// The resource of that type and number; empty when there is none.
RawResource FindRawResource(const char* type, int id);
// Makes a block of memory (which must outlive its use) a resource.
void RegisterRawResource(const char* type, int id, const void* data, size_t size);

}  // namespace fotrix
