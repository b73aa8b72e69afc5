// Menu 102 (the main window's File, View and Tools menus and the favorites
// drop-down), its menu bar, and the view's pop-up menu 185. The item texts
// are the keys of the language file's "Menu" section.
#include "app/resources/menus.h"

#include "app/resources/resource_ids.h"
#include "app/shell/command_ids.h"
#include "platform/menu/menubar.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr UINT kEnd = MENU_END_POPUP;
constexpr UINT kRadio = MF_STRING | MFT_RADIOCHECK;

// clang-format off
const MenuTemplateItem kMainMenu[] = {
    {MF_POPUP, "File", 0},
        {MF_POPUP, "Go to", 0},
            {MF_STRING, "Home folder", CmdGoToHome},
            {MF_STRING, "Up", CmdGoUp},
            {MF_STRING, "Storage card", CmdGoToStorageCard},
            {MF_STRING, "My Documents", CmdGoToMyDocuments},
        {kEnd, nullptr, 0},
        {MF_STRING, "Add favorite...", CmdAddFavorite},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "New folder...", CmdNewFolder},
        {MF_STRING, "Rename folder...", CmdRenameFolder},
        {MF_STRING, "Delete folder", CmdDeleteFolder},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "Cut", CmdCut},
        {MF_STRING, "Copy", CmdCopy},
        {MF_STRING, "Paste", CmdPaste},
        {MF_STRING, "Delete", CmdDelete},
        {MF_STRING, "Rename...", CmdRename},
        {MF_POPUP, "Select", 0},
            {MF_STRING, "All", CmdSelectAll},
            {MF_STRING, "None", CmdSelectNone},
            {MF_STRING, "Invert", CmdSelectInvert},
            {MF_SEPARATOR, nullptr, 0},
            {MF_STRING, "Multiple selection", CmdMultipleSelection},
        {kEnd, nullptr, 0},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "About...", CmdAbout},
        {MF_STRING, "Exit", CmdExit},
    {kEnd, nullptr, 0},
    {MF_POPUP, "View", 0},
        {MF_POPUP, "Mode", 0},
            {kRadio, "Thumbnails", CmdModeThumbnails},
            {kRadio, "List", CmdModeList},
            {kRadio, "Details", CmdModeDetails},
            {kRadio, "Strip", CmdModeStrip},
            {kRadio, "Image", CmdModeImage},
            {kRadio, "Full screen", CmdModeFullScreen},
            {MF_SEPARATOR, nullptr, 0},
            {MF_STRING, "Slideshow", CmdSlideshow},
        {kEnd, nullptr, 0},
        {MF_POPUP, "Sort", 0},
            {kRadio, "By name", CmdSortName},
            {kRadio, "By date", CmdSortDate},
            {kRadio, "By type", CmdSortType},
            {kRadio, "By size", CmdSortSize},
            {kRadio, "By dimensions", CmdSortDimensions},
            {MF_SEPARATOR, nullptr, 0},
            {kRadio, "Ascending", CmdSortAscending},
            {kRadio, "Descending", CmdSortDescending},
        {kEnd, nullptr, 0},
        {MF_STRING, "Whole folder tree", CmdWholeFolderTree},
        {MF_STRING, "File names", CmdFileNames},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "Previous page", CmdPreviousPage},
        {MF_STRING, "Next page", CmdNextPage},
        {MF_SEPARATOR, nullptr, 0},
        {MF_POPUP, "Zoom in", 0},
            {MF_STRING, "150%", CmdZoom150},
            {MF_STRING, "200%", CmdZoom200},
            {MF_STRING, "300%", CmdZoom300},
            {MF_STRING, "400%", CmdZoom400},
        {kEnd, nullptr, 0},
        {MF_POPUP, "Zoom out", 0},
            {MF_STRING, "75%", CmdZoom75},
            {MF_STRING, "50%", CmdZoom50},
            {MF_STRING, "25%", CmdZoom25},
        {kEnd, nullptr, 0},
        {MF_STRING, "Actual size", CmdActualSize},
        {MF_STRING, "Auto rotate", CmdAutoRotate},
        {MF_STRING, "Fit window (all)", CmdFitWindow},
        {MF_STRING, "Fit window (large files)", CmdFitLargeFiles},
    {kEnd, nullptr, 0},
    {MF_POPUP, "Tools", 0},
        {MF_STRING, "Convert...", CmdConvert},
        {MF_STRING, "Crop...", CmdCrop},
        {MF_STRING, "Resize...", CmdResize},
        {MF_STRING, "Adjust...", CmdAdjust},
        {MF_STRING, "Rotate...", CmdRotate},
        {MF_STRING, "Sharpen/soften...", CmdSharpenSoften},
        {MF_STRING, "Batch rename...", CmdBatchRename},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "Capture...", CmdCapture},
        {MF_STRING, "Find...", CmdFind},
        {MF_POPUP, "Misc", 0},
            {MF_STRING, "E-mail...", CmdEmail},
            {MF_STRING, "Send by infrared...", CmdSendInfrared},
            {MF_STRING, "Receive by infrared...", CmdReceiveInfrared},
            {MF_SEPARATOR, nullptr, 0},
            {MF_STRING, "Make slideshow program...", CmdMakeSlideshowProgram},
            {MF_STRING, "Make album...", CmdMakeAlbum},
        {kEnd, nullptr, 0},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "Properties", CmdProperties},
        {MF_STRING, "IPTC edit...", CmdIptcEdit},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "Options...", CmdOptions},
    {kEnd, nullptr, 0},
    {MF_POPUP, "Favorites", 0},
        {MF_STRING, "Organize favorites...", CmdFavoritesPlaceholder},
    {kEnd, nullptr, 0},
};

const MenuTemplateItem kViewPopup[] = {
    {MF_POPUP, "View", 0},
        {MF_STRING, "Larger", CmdZoomLarger},
        {MF_STRING, "Smaller", CmdZoomSmaller},
        {MF_STRING, "Screen", CmdFitWindow},
    {kEnd, nullptr, 0},
};

constexpr BYTE kDropDown = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
const MenuBarButtonTemplate kMainBar[] = {
    {I_IMAGENONE, CmdMenuFile, TBSTATE_ENABLED, kDropDown, "File", 0},
    {I_IMAGENONE, CmdMenuView, TBSTATE_ENABLED, kDropDown, "View", 1},
    {I_IMAGENONE, CmdMenuTools, TBSTATE_ENABLED, kDropDown, "Tools", 2},
    {0, CmdSlideshow, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {1, CmdOpenClose, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {5, CmdSaveAdjusted, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {3, CmdDelete, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {2, CmdProperties, TBSTATE_ENABLED, TBSTYLE_BUTTON, nullptr, NOMENU},
    {4, CmdOrganizeFavorites, TBSTATE_ENABLED, TBSTYLE_DROPDOWN, nullptr, 3},
};
// clang-format on

const MenuResource kMenus[] = {
    {kMenuMain, kMainMenu, static_cast<int>(std::size(kMainMenu))},
    {kMenuViewPopup, kViewPopup, static_cast<int>(std::size(kViewPopup))},
};
const MenuBarResource kBars[] = {
    {kMenuMain, kMenuMain, kMainBar, static_cast<int>(std::size(kMainBar))},
};

}  // namespace

void RegisterAppMenus()
{
    RegisterMenus(kMenus, static_cast<int>(std::size(kMenus)));
    RegisterMenuBars(kBars, static_cast<int>(std::size(kBars)));
}

std::vector<const char*> BuiltInMenuTexts()
{
    std::vector<const char*> texts;
    for (const auto& menu : kMenus)
        for (int i = 0; i < menu.count; ++i)
            if (menu.items[i].text) texts.push_back(menu.items[i].text);
    for (const auto& button : kMainBar)
        if (button.text) texts.push_back(button.text);
    return texts;
}

}  // namespace fotrix
