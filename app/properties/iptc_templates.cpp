// IPTC templates in the registry, as the metadata layer's template text.
#include "app/properties/iptc_templates.h"

#include "app/settings.h"
#include "platform/registry/registry.h"

namespace fotrix {

namespace {

constexpr const char* kKey = "Software\\Fotrix Pocket\\IPTC";
constexpr size_t kMaxNameBytes = 255;
constexpr int kMaxTemplateChars = 1024;

HKEY openKey(bool write)
{
    HKEY key = nullptr;
    LONG result = write ? RegCreateKeyEx(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                         nullptr, &key, nullptr)
                        : RegOpenKeyEx(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

std::vector<std::string> ListIptcTemplates()
{
    std::vector<std::string> names;
    HKEY key = openKey(false);
    if (!key) return names;
    for (DWORD i = 0;; ++i) {
        char name[kMaxNameBytes + 1] = "";
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        if (RegEnumValue(key, i, name, &nameSize, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (type == REG_SZ) names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
}

bool IsValidTemplateName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNameBytes) return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == 0x7F) return false;
    return name.find_first_not_of(' ') != std::string::npos;
}

bool SaveIptcTemplate(const std::string& name, const IptcRecord& record)
{
    if (!IsValidTemplateName(name)) return false;
    return WriteText("IPTC", name.c_str(), iptcTemplateWrite(record).c_str()) == ERROR_SUCCESS;
}

bool LoadIptcTemplate(const std::string& name, IptcRecord& record)
{
    std::string text;
    ReadText("IPTC", name.c_str(), "", text, kMaxTemplateChars + 1);
    return iptcTemplateRead(text, record) == 1;
}

bool DeleteIptcTemplate(const std::string& name)
{
    HKEY key = openKey(true);
    if (!key) return false;
    bool done = RegDeleteValue(key, name.c_str()) == ERROR_SUCCESS;
    RegCloseKey(key);
    return done;
}

}  // namespace fotrix
