// The registry functions over the hive store. A key handle names a hive and a
// path, so it stays valid when another process rewrites the file.
#include "platform/registry/store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_set>

struct RegKeyRec {
    int hive = HiveUser;
    std::string path;
};

namespace {

std::unordered_set<HKEY>& openKeys()
{
    static std::unordered_set<HKEY> set;
    return set;
}

// Resolves a handle (predefined or opened) to its hive and path.
bool resolve(HKEY key, int* hive, std::string* path)
{
    if (key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT) {
        *hive = key == HKEY_CLASSES_ROOT ? HiveClasses : HiveUser;
        path->clear();
        return true;
    }
    if (!openKeys().count(key)) return false;
    *hive = key->hive;
    *path = key->path;
    return true;
}

std::string joinPath(const std::string& base, const char* sub)
{
    std::string out = base;
    for (const std::string& part : regSplitPath(sub ? sub : "")) out += (out.empty() ? "" : "\\") + part;
    return out;
}

HKEY newHandle(int hive, const std::string& path)
{
    auto* rec = new RegKeyRec{hive, path};
    openKeys().insert(rec);
    return rec;
}

std::string valueName(const char* name) { return name ? name : ""; }

// Texts are stored up to their first zero, with exactly one zero after them.
std::vector<uint8_t> normaliseData(DWORD type, const BYTE* data, DWORD size)
{
    std::vector<uint8_t> bytes(data, data + size);
    if (type == REG_SZ) {
        auto zero = std::find(bytes.begin(), bytes.end(), 0);
        bytes.erase(zero, bytes.end());
        bytes.push_back(0);
    }
    return bytes;
}

LONG copyName(const std::string& name, char* buffer, DWORD* size)
{
    if (!size) return ERROR_INVALID_PARAMETER;
    if (!buffer || *size < name.size() + 1) {
        *size = static_cast<DWORD>(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LONG copyData(const RegValue& v, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (type) *type = v.type;
    if (!dataSize) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD need = static_cast<DWORD>(v.data.size());
    if (!data) {
        *dataSize = need;
        return ERROR_SUCCESS;
    }
    if (*dataSize < need) {
        *dataSize = need;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, v.data.data(), need);
    *dataSize = need;
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD, REGSAM, HKEY* result)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    int hive;
    std::string base;
    if (!resolve(key, &hive, &base)) return ERROR_INVALID_HANDLE;
    std::string path = joinPath(base, subKey);
    if (path.size() > kRegMaxKeyPath) return ERROR_INVALID_PARAMETER;
    if (!regWalk(hiveForRead(hive), path, false, nullptr)) return ERROR_FILE_NOT_FOUND;
    *result = newHandle(hive, path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM, void*, HKEY* result, DWORD* disposition)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    int hive;
    std::string base;
    if (!resolve(key, &hive, &base)) return ERROR_INVALID_HANDLE;
    std::string path = joinPath(base, subKey);
    if (path.size() > kRegMaxKeyPath) return ERROR_INVALID_PARAMETER;
    bool created = false;
    LONG r = hiveChange(hive, [&](RegNode& root, bool& changed) {
        // A hive that grew past what a hive file may hold would not load again.
        if (!regWalk(&root, path, false, nullptr) && regCountEntries(root) + regSplitPath(path).size() > kRegMaxEntries)
            return static_cast<LONG>(ERROR_OUTOFMEMORY);
        regWalk(&root, path, true, &created);
        changed = created;
        return static_cast<LONG>(ERROR_SUCCESS);
    });
    if (r != ERROR_SUCCESS) return r;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = newHandle(hive, path);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    if (key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT) return ERROR_SUCCESS;
    if (!openKeys().erase(key)) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string path;
    if (!resolve(key, &hive, &path)) return ERROR_INVALID_HANDLE;
    RegNode* node = regWalk(hiveForRead(hive), path, false, nullptr);
    if (!node) return ERROR_KEY_DELETED;
    RegValue* v = regFindValue(node, valueName(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    return copyData(*v, type, data, dataSize);
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string path;
    if (!resolve(key, &hive, &path)) return ERROR_INVALID_HANDLE;
    std::string vname = valueName(name);
    if (vname.size() > kRegMaxValueName || dataSize > kRegMaxValueData || (dataSize && !data)) return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && dataSize != 4) return ERROR_INVALID_PARAMETER;
    std::vector<uint8_t> bytes = normaliseData(type, data, dataSize);
    return hiveChange(hive, [&](RegNode& root, bool& changed) {
        RegNode* node = regWalk(&root, path, false, nullptr);
        if (!node) return static_cast<LONG>(ERROR_KEY_DELETED);
        RegValue* v = regFindValue(node, vname);
        if (v && v->type == type && v->data == bytes) return static_cast<LONG>(ERROR_SUCCESS);
        if (!v) {
            if (regCountEntries(root) >= kRegMaxEntries) return static_cast<LONG>(ERROR_OUTOFMEMORY);
            node->values.push_back(RegValue{vname, type, {}});
            v = &node->values.back();
        }
        v->type = type;
        v->data = bytes;
        changed = true;
        return static_cast<LONG>(ERROR_SUCCESS);
    });
}

LONG RegDeleteValue(HKEY key, const char* name)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string path;
    if (!resolve(key, &hive, &path)) return ERROR_INVALID_HANDLE;
    std::string vname = valueName(name);
    return hiveChange(hive, [&](RegNode& root, bool& changed) {
        RegNode* node = regWalk(&root, path, false, nullptr);
        if (!node) return static_cast<LONG>(ERROR_KEY_DELETED);
        for (auto it = node->values.begin(); it != node->values.end(); ++it) {
            if (regNameEquals(it->name, vname)) {
                node->values.erase(it);
                changed = true;
                return static_cast<LONG>(ERROR_SUCCESS);
            }
        }
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    });
}

LONG RegDeleteKey(HKEY key, const char* subKey)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string base;
    if (!resolve(key, &hive, &base)) return ERROR_INVALID_HANDLE;
    std::vector<std::string> parts = regSplitPath(subKey ? subKey : "");
    if (parts.empty()) return ERROR_INVALID_PARAMETER;  // a key never deletes itself through an empty name
    std::string parentPath = joinPath(base, nullptr);
    for (size_t i = 0; i + 1 < parts.size(); ++i) parentPath += (parentPath.empty() ? "" : "\\") + parts[i];
    return hiveChange(hive, [&](RegNode& root, bool& changed) {
        RegNode* parent = regWalk(&root, parentPath, false, nullptr);
        if (!parent) return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
        for (auto it = parent->keys.begin(); it != parent->keys.end(); ++it) {
            if (regNameEquals((*it)->name, parts.back())) {
                parent->keys.erase(it);
                changed = true;
                return static_cast<LONG>(ERROR_SUCCESS);
            }
        }
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    });
}

LONG RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char*, DWORD* classSize, void*)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string path;
    if (!resolve(key, &hive, &path)) return ERROR_INVALID_HANDLE;
    RegNode* node = regWalk(hiveForRead(hive), path, false, nullptr);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->keys.size()) return ERROR_NO_MORE_ITEMS;
    if (classSize) *classSize = 0;
    return copyName(node->keys[index]->name, name, nameSize);
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string path;
    if (!resolve(key, &hive, &path)) return ERROR_INVALID_HANDLE;
    RegNode* node = regWalk(hiveForRead(hive), path, false, nullptr);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& v = node->values[index];
    LONG r = copyName(v.name, name, nameSize);
    if (r != ERROR_SUCCESS) return r;
    return copyData(v, type, data, dataSize);
}

// Every change is on disk when its call returns.
LONG RegFlushKey(HKEY key)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    int hive;
    std::string path;
    return resolve(key, &hive, &path) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int RegistryFolder(char* buffer, int capacity)
{
    std::string folder = registryFolder();
    if (buffer && capacity > 0) std::snprintf(buffer, static_cast<size_t>(capacity), "%s", folder.c_str());
    return static_cast<int>(folder.size());
}

int RegistryLastDamage(char* buffer, int capacity)
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    const std::string& d = registryLastDamage();
    if (buffer && capacity > 0) std::snprintf(buffer, static_cast<size_t>(capacity), "%s", d.c_str());
    return static_cast<int>(d.size());
}

void RegistryReset()
{
    std::lock_guard<std::recursive_mutex> guard(registryLock());
    registryForget();
}
