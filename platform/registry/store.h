#pragma once
// Loading and saving hive files. Internal to platform/registry.
#include "platform/registry/hive.h"
#include "platform/registry/registry.h"

#include <functional>
#include <mutex>
#include <string>

enum : int { HiveUser = 0, HiveClasses = 1 };

const char* hiveRootName(int hive);
std::recursive_mutex& registryLock();  // callers hold it around every use of a hive
std::string registryFolder();
const std::string& registryLastDamage();
// The hive as last saved by any process (read again when its file changed).
RegNode* hiveForRead(int hive);
// Runs a change under the lock file on the freshest tree and saves it when it
// reports a change. A save that fails leaves file and memory as they were.
LONG hiveChange(int hive, const std::function<LONG(RegNode& root, bool& changed)>& change);
void registryForget();
