#pragma once
// The device's fixed folders as the browser goes to them.
#include <string>
#include <vector>

namespace fotrix {

// "My Documents": FOTRIX_HOME when set, else the platform's personal folder; ends in "/".
std::string PersonalFolder();
// The storage cards: the folders FOTRIX_CARDS names (":"-separated), else the
// removable mounts; each ends in "/".
std::vector<std::string> StorageCards();

}  // namespace fotrix
