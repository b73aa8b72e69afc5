#pragma once
// The template list: the names kept in the registry, a name field, and
// Load, Save and Delete over them.
#include "metadata/iptc.h"
#include "platform/windows.h"

namespace fotrix {

// Opens the list over `owner`; Load replaces `record` with the chosen
// template, Save keeps `record` under the typed name. `saving` puts the focus
// on the name field.
void RunIptcTemplateDialog(HWND owner, IptcRecord& record, bool saving);

}  // namespace fotrix
