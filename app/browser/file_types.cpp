// File types in the classes hive. Every value written is the default value
// of its key, a text.
#include "app/browser/file_types.h"

#include "app/browser/browser.h"
#include "app/browser/mime_defaults.h"
#include "app/options/option_values.h"
#include "platform/files/files.h"
#include "platform/registry/registry.h"

#include <strings.h>

#include <cstring>

namespace fotrix {

namespace {

constexpr const char* kBackupKey = "Fotrix.bak";
constexpr const char* kAlbumProgId = "Fotrixel.alb";
constexpr int kAlbumIcon = -170;
constexpr int kPictureIcon = -108;

std::string programPath()
{
    char path[4096] = "";
    GetModuleFileName(nullptr, path, sizeof path);
    return path;
}

bool setDefaultText(const std::string& keyName, const std::string& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                       &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// The default value of a key in the classes hive, when there is one and it is a text.
bool readDefaultText(const std::string& keyName, std::string* text)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024];
    DWORD type = REG_NONE, size = sizeof buffer;
    const LONG result = RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return false;
    text->assign(buffer, strnlen(buffer, size));
    return true;
}

bool sameId(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

void deleteBackup(const std::string& extension)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteKey(key, kBackupKey);
    RegCloseKey(key);
}

void removeDefaultValue(const std::string& extension)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteValue(key, nullptr);
    RegCloseKey(key);
}

// A key name the classes hive can hold for one extension: ".xyz", no "\".
bool isExtension(const std::string& extension)
{
    return extension.size() > 1 && extension[0] == '.' && extension.find('\\') == std::string::npos;
}

}  // namespace

bool RegisterProgId(const std::string& progId, int icon, const std::string& description)
{
    const std::string program = programPath();
    return setDefaultText(progId, description) &&
           setDefaultText(progId + "\\shell\\open\\command", "\"" + program + "\" %1") &&
           setDefaultText(progId + "\\DefaultIcon", program + "," + std::to_string(icon));
}

bool Associate(const std::string& extension, const std::string& progId)
{
    if (!isExtension(extension)) return false;
    std::string current;
    if (readDefaultText(extension, &current) && !current.empty() && !sameId(current, progId) &&
        !setDefaultText(extension + "\\" + kBackupKey, current))
        return false;
    return setDefaultText(extension, progId);
}

void Unassociate(const std::string& extension, const std::string& progId)
{
    if (!isExtension(extension)) return;
    std::string current, kept;
    if (!readDefaultText(extension, &current) || !sameId(current, progId)) {
        deleteBackup(extension);  // the type belongs to another program now: leave it so
        return;
    }
    if (readDefaultText(extension + "\\" + kBackupKey, &kept)) {
        if (setDefaultText(extension, kept)) deleteBackup(extension);
        return;
    }
    removeDefaultValue(extension);
}

bool IsAssociated(const std::string& extension, const std::string& progId)
{
    std::string current;
    return isExtension(extension) && readDefaultText(extension, &current) && sameId(current, progId);
}

std::string PictureProgId(const std::string& extension) { return "Fotrixel" + extension; }

void RegisterAlbumFileType()
{
    if (RegisterProgId(kAlbumProgId, kAlbumIcon, "Fotrixel Album")) Associate(".alb", kAlbumProgId);
}

void ReadAssociationChoices()
{
    for (FileTypeChoice& choice : AssociationChoices())
        choice.checked = IsAssociated(choice.extension, PictureProgId(choice.extension));
}

void ApplyAssociationChoices()
{
    for (const FileTypeChoice& choice : AssociationChoices()) {
        const std::string progId = PictureProgId(choice.extension);
        if (!choice.checked) {
            UnassociateMimeDefault(choice.extension);
            Unassociate(choice.extension, progId);
        } else if (RegisterProgId(progId, kPictureIcon, choice.description) && Associate(choice.extension, progId)) {
            AssociateMimeDefault(choice.extension);
        }
    }
}

}  // namespace fotrix
