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

// The first folder at or below `folder` (depth first, in directory order)
// that holds a picture or an album; false when none does.
bool FindPictureFolder(const std::string& folder, std::string* found);
// Where File > Go to > Storage card goes: the first card's folder of pictures,
// else the last card's root; empty when there is no card.
std::string StorageCardFolder();

}  // namespace fotrix
