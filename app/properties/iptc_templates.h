#pragma once
// IPTC templates: named records kept as text values under the settings
// section "IPTC" of the current user, one value a template.
#include "metadata/iptc.h"

#include <string>
#include <vector>

namespace fotrix {

// The names, in the registry's order.
std::vector<std::string> ListIptcTemplates();
// A name the registry can hold as a value name: not empty, at most 255
// bytes, no control characters and no backslash.
bool IsValidTemplateName(const std::string& name);
// False for a name IsValidTemplateName refuses or when the value cannot be written.
bool SaveIptcTemplate(const std::string& name, const IptcRecord& record);
// False (and an empty record) when the template is missing or empty.
bool LoadIptcTemplate(const std::string& name, IptcRecord& record);
bool DeleteIptcTemplate(const std::string& name);

}  // namespace fotrix
