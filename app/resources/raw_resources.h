#pragma once
// A table of raw data resources (type name and number -> bytes), for data the
// platform's resource tables do not hold: the start-screen picture.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fotrix {

// Adds or replaces resource `id` of `type`; the table keeps a copy.
void RegisterRawResource(const char* type, int id, const uint8_t* data, size_t size);

}  // namespace fotrix
