#pragma once
// The IPTC editor: six pages over one record (taken from the first picture
// that has one), written on OK, after a question, into every JPEG picture
// of the list.
#include "metadata/iptc.h"
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

void ShowIptcEditor(HWND owner, const std::vector<std::string>& paths);

// The editor's last step: "Program" defaults to "Fotrix Pocket", then the
// record goes into every JPEG of `paths`. The paths that failed.
std::vector<std::string> WriteIptcToPictures(const std::vector<std::string>& paths, IptcRecord& record);

// For the script's `state` while the editor is open: "iptc" (else empty),
// the title of the page shown, and one "row: LABEL | VALUE" line a field of
// that page (its list's items under the page's title).
std::string IptcEditorSheetName();
std::string IptcEditorPageTitle();
void WriteIptcEditorState(std::string& out);

// True for the pictures the editor writes into (".jpg", ".jpeg", ".jpe").
bool IsJpegPath(const std::string& path);

}  // namespace fotrix
