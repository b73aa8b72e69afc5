#pragma once
// Shared by TextOut and DrawText: measuring and drawing one run of UTF-8 text.
#include "platform/gdi/gdi_internal.h"

#include <string_view>

int textRunWidth(FontInstance* font, std::string_view text);
// Draws the run with its cell's top-left corner at device (x, y) in the DC's text colour.
void drawTextRun(DeviceContext* dc, FontInstance* font, int x, int y, std::string_view text);
