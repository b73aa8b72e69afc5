#include "app/resources/raw_resources.h"
#include "app/resources/resources.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace fotrix {

namespace {

using RawKey = std::pair<std::string, int>;

std::mutex& rawLock()
{
    static std::mutex lock;
    return lock;
}

std::map<RawKey, std::vector<uint8_t>>& rawTable()
{
    static std::map<RawKey, std::vector<uint8_t>> table;
    return table;
}

}  // namespace

void RegisterRawResource(const char* type, int id, const uint8_t* data, size_t size)
{
    if (!type) return;
    std::lock_guard<std::mutex> guard(rawLock());
    rawTable()[{type, id}] = std::vector<uint8_t>(data, data + size);
}

// Entries are never removed, so the pointer stays valid for the program's life.
const std::vector<uint8_t>* FindRawResource(const char* type, int id)
{
    if (!type) return nullptr;
    std::lock_guard<std::mutex> guard(rawLock());
    auto it = rawTable().find({type, id});
    return it == rawTable().end() ? nullptr : &it->second;
}

}  // namespace fotrix
