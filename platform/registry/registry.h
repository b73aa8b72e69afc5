#pragma once
// The registry: HKEY_CURRENT_USER and HKEY_CLASSES_ROOT kept as REGEDIT4 text
// files (user.reg, classes.reg) in $XDG_CONFIG_HOME/fotrix-pocket/
// (FOTRIX_CONFIG_DIR overrides). Every change is written at once to a
// temporary file, flushed and renamed over the old one, under a lock file
// shared by all processes; other processes' changes are read back before each
// change. A damaged file is kept aside and reported, and its good lines kept;
// a file that cannot be read or is too large is used as defaults for the run
// and never written over.
#include "platform/base/types.h"

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))

enum : DWORD { REG_NONE = 0, REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };
enum : DWORD { REG_OPTION_NON_VOLATILE = 0 };
enum : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };
enum : DWORD { KEY_QUERY_VALUE = 0x0001, KEY_SET_VALUE = 0x0002, KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F };
typedef DWORD REGSAM;

// Longest key path, value name and value data accepted.
constexpr size_t kRegMaxKeyPath = 4096;
constexpr size_t kRegMaxValueName = 16383;
constexpr size_t kRegMaxValueData = 1u << 20;

// All return ERROR_SUCCESS or an error code. Text values (REG_SZ) are UTF-8
// with their terminating zero counted in the data size.
LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options, REGSAM access,
                    void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValue(HKEY key, const char* name);
// Deletes the key with everything below it.
LONG RegDeleteKey(HKEY key, const char* subKey);
// nameSize: in, the buffer's size in bytes; out, the name's length without its zero.
LONG RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* keyClass, DWORD* classSize,
                  void* lastWriteTime);
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegFlushKey(HKEY key);

// The folder of the hive files (created on first write).
int RegistryFolder(char* buffer, int capacity);
// Where the last damaged hive file was moved to (empty when none this run).
int RegistryLastDamage(char* buffer, int capacity);
// Forgets what is loaded, so the next call reads the files again (tests; a new
// FOTRIX_CONFIG_DIR takes effect then too).
void RegistryReset();
