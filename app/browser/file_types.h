#pragma once
// The program as the opener of file types, in the classes hive
// (HKEY_CLASSES_ROOT): the album type at every start, the picture types the
// Associations page of the options chose.
#include <string>

namespace fotrix {

// The prog id's key holds `description`; "<id>\shell\open\command" the
// program's path in double quotes and " %1"; "<id>\DefaultIcon" the path and
// ",<icon>" (a negative number names an icon resource).
bool RegisterProgId(const std::string& progId, int icon, const std::string& description);
// Makes `extension` (".jpg") open with `progId`. A value naming another
// program is kept first in the sub-key "Fotrix.bak" of the extension; when
// that cannot be written the extension is left alone.
bool Associate(const std::string& extension, const std::string& progId);
// Gives `extension` back: the kept value returns when the extension is still
// the program's (`progId`); without one the program's value is removed. The
// backup sub-key goes in every case.
void Unassociate(const std::string& extension, const std::string& progId);
// Whether `extension` opens with `progId` now (compared without regard to case).
bool IsAssociated(const std::string& extension, const std::string& progId);

// "Fotrixel" + extension: the prog id of a picture type.
std::string PictureProgId(const std::string& extension);

// Sets the checks of AssociationChoices() from the classes hive (before the
// options sheet opens).
void ReadAssociationChoices();
// After the sheet's OK: registers the checked types, gives back the others,
// in the classes hive and as the desktop's MIME defaults (mime_defaults.h).
void ApplyAssociationChoices();

}  // namespace fotrix
