#pragma once
// The program's resources, compiled in: string table, menus, menu bar,
// bitmaps, icon, dialog templates and the start-screen picture.
#include <cstdint>
#include <vector>

namespace fotrix {

// Registers every resource of the program with the platform's tables (and the
// raw resources below). Safe to call more than once: the first call does it.
void RegisterAppResources();

// Raw data resources (the platform has no table of its own for them): the
// bytes of resource `id` of `type` ("SPLASH"), or null.
const std::vector<uint8_t>* FindRawResource(const char* type, int id);

}  // namespace fotrix
