#include "app/settings.h"

#include <string>

namespace fotrix {

namespace {

std::string keyPath(const char* section)
{
    std::string path = kSettingsRoot;
    if (section && *section) path += std::string("\\") + section;
    return path;
}

// Opens the section for reading; null when it does not exist.
HKEY openForRead(const char* section)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

LONG openForWrite(const char* section, HKEY* key)
{
    return RegCreateKeyEx(HKEY_CURRENT_USER, keyPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, key, nullptr);
}

}  // namespace

int32_t ReadNumber(const char* section, const char* name, int32_t defaultValue)
{
    HKEY key = openForRead(section);
    if (!key) return defaultValue;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG r = RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return defaultValue;
    return static_cast<int32_t>(value);
}

LONG WriteNumber(const char* section, const char* name, int32_t value)
{
    HKEY key = nullptr;
    LONG r = openForWrite(section, &key);
    if (r != ERROR_SUCCESS) return r;
    DWORD stored = static_cast<DWORD>(value);
    r = RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
    if (r != ERROR_SUCCESS) {
        std::string line = std::string("Pb : <") + (name ? name : "") + "> \n";
        OutputDebugString(line.c_str());
    }
    RegCloseKey(key);
    return r;
}

void ReadText(const char* section, const char* name, const char* defaultText, std::string& buffer, int capacity)
{
    buffer.clear();
    std::string fallback = defaultText ? defaultText : "";
    HKEY key = openForRead(section);
    if (!key) {
        buffer = fallback;
        return;
    }
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueEx(key, name, nullptr, &type, nullptr, &size);
    std::string data;
    if (r == ERROR_SUCCESS && type == REG_SZ && size <= kRegMaxValueData) {
        data.resize(size);
        r = RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(r == ERROR_SUCCESS ? size : 0);
    }
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) {
        buffer = fallback;
        return;
    }
    while (!data.empty() && data.back() == '\0') data.pop_back();
    if (capacity <= 0 || utf8Length(data) + 1 > static_cast<size_t>(capacity)) {
        buffer = fallback;
        return;
    }
    buffer = data;
}

LONG WriteText(const char* section, const char* name, const char* text)
{
    HKEY key = nullptr;
    LONG r = openForWrite(section, &key);
    if (r != ERROR_SUCCESS) return r;
    std::string value = text ? text : "";
    r = RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return r;
}

}  // namespace fotrix
