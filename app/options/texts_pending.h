#pragma once
// The built-in texts that the options sheet and the start screen show, until
// the program's text table (app/resources/texts.h) is merged in; then this
// file goes and the constants come from there.
#include "app/language.h"

#include <string>

namespace fotrix {

struct TextId {
    unsigned number;
    const char* key;
};

inline std::string Tr(TextId id) { return Tr(id.number, id.key); }

inline constexpr TextId kIdsGeneral{4122, "IDS_GENERAL"};
inline constexpr TextId kIdsSlideshow{4123, "IDS_SLIDESHOW"};
inline constexpr TextId kIdsAssociations{4148, "IDS_ASSOCIATIONS"};
inline constexpr TextId kIdsSoundFilename{4149, "IDS_SOUNDFILENAME"};
inline constexpr TextId kIdsReboot{4157, "IDS_REBOOT"};
inline constexpr TextId kIdsWizard1{4189, "IDS_WIZARD1"};
inline constexpr TextId kIdsWizard2{4190, "IDS_WIZARD2"};
inline constexpr TextId kIdsWizard3{4191, "IDS_WIZARD3"};
inline constexpr TextId kIdsWizard4{4192, "IDS_WIZARD4"};
inline constexpr TextId kIdsBrowser{4193, "IDS_BROWSER"};
inline constexpr TextId kIdsWizard5{4194, "IDS_WIZARD5"};
inline constexpr TextId kIdsWizard6{4195, "IDS_WIZARD6"};
inline constexpr TextId kIdsButtons{4196, "IDS_BUTTONS"};
inline constexpr TextId kIdsButton{4197, "IDS_BUTTON"};
inline constexpr TextId kIdsAssignment{4198, "IDS_ASSIGNMENT"};
inline constexpr TextId kIdsNone{4199, "IDS_NONE"};
inline constexpr TextId kIdsNextImage{4200, "IDS_NEXTIMAGE"};
inline constexpr TextId kIdsPrevImage{4201, "IDS_PREVIMAGE"};
inline constexpr TextId kIdsFullScreen{4202, "IDS_FULLSCREEN"};
inline constexpr TextId kIdsZoomIn{4203, "IDS_ZOOMIN"};
inline constexpr TextId kIdsZoomOut{4204, "IDS_ZOOMOUT"};
inline constexpr TextId kIdsKeyUp{4205, "IDS_KEYUP"};
inline constexpr TextId kIdsKeyDown{4206, "IDS_KEYDOWN"};
inline constexpr TextId kIdsKeyRight{4207, "IDS_KEYRIGHT"};
inline constexpr TextId kIdsKeyLeft{4208, "IDS_KEYLEFT"};
inline constexpr TextId kIdsKeyReturn{4209, "IDS_KEYRETURN"};
inline constexpr TextId kIdsViewer{4222, "IDS_VIEWER"};

}  // namespace fotrix
