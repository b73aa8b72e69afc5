// Bitmaps 114, 128, 152, 154 (tool buttons), 192 (splitter) and icon 101.
#include "app/resources/bitmaps.h"

#include "app/resources/art/icon_art.h"
#include "app/resources/art/tool_art.h"
#include "app/resources/resource_ids.h"
#include "platform/resources/resources.h"

#include <iterator>
#include <string>
#include <vector>

namespace fotrix {

namespace {

constexpr int kIconSize = 32;

const BitmapResource kBitmaps[] = {
    {kBitmapToolButtons, nullptr, 16 * kToolButtonImageCount, 16, art::paintToolButtons},
    {kBitmapToolButtonsDisabled, nullptr, 16 * kToolButtonImageCount, 16, art::paintToolButtonsDisabled},
    {kBitmapToolButtons32, nullptr, 32 * kToolButtonImageCount, 32, art::paintToolButtons},
    {kBitmapToolButtonsDisabled32, nullptr, 32 * kToolButtonImageCount, 32, art::paintToolButtonsDisabled},
    {kBitmapSplitter, nullptr, 4 * kSplitterImageWidth, kSplitterImageHeight, art::paintSplitterButtons},
};

}  // namespace

void RegisterAppBitmaps()
{
    RegisterBitmaps(kBitmaps, static_cast<int>(std::size(kBitmaps)));
    // Icon art is rows of letters; they are made once from the icon painter
    // and live as long as the program, as the platform's table expects.
    static const std::vector<std::string> rows = art::appIconArtRows(kIconSize);
    static const std::vector<const char*> rowPointers = [] {
        std::vector<const char*> pointers;
        for (const std::string& row : rows) pointers.push_back(row.c_str());
        return pointers;
    }();
    static const ArtResource icon{kIconApp, nullptr, 0, 0, kIconSize, rowPointers.data()};
    RegisterIcons(&icon, 1);
}

}  // namespace fotrix
