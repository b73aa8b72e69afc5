#pragma once
// What the shell calls of the other parts of the program that are not
// commands: the resources, the options sheet, the start screen and the
// script driver.
#include "app/options/options_sheet.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources.h"
#include "app/script/script.h"
#include "app/startscreen/start_screen.h"

namespace fotrix {

// Resource numbers the shell uses.
namespace res {
constexpr int kMenuMain = fotrix::kMenuMain;
constexpr int kBitmapToolButtons = fotrix::kBitmapToolButtons;
constexpr int kBitmapToolButtonsDisabled = fotrix::kBitmapToolButtonsDisabled;
constexpr int kBitmapToolButtons32 = fotrix::kBitmapToolButtons32;
constexpr int kBitmapToolButtonsDisabled32 = fotrix::kBitmapToolButtonsDisabled32;
constexpr int kBitmapSplitter = fotrix::kBitmapSplitter;
constexpr int kIconApp = fotrix::kIconApp;
constexpr int kDialogAbout = fotrix::kDialogAbout;
}  // namespace res

}  // namespace fotrix
