#include "app/startscreen/raw_resource_pending.h"

#include <string>
#include <vector>

namespace fotrix {

namespace {

struct Entry {
    std::string type;
    int id;
    RawResource resource;
};
std::vector<Entry>& entries()
{
    static std::vector<Entry> list;
    return list;
}

}  // namespace

RawResource FindRawResource(const char* type, int id)
{
    for (const Entry& e : entries())
        if (type && e.type == type && e.id == id) return e.resource;
    return {};
}

void RegisterRawResource(const char* type, int id, const void* data, size_t size)
{
    for (Entry& e : entries()) {
        if (e.type == type && e.id == id) {
            e.resource = {data, size};
            return;
        }
    }
    entries().push_back({type, id, {data, size}});
}

}  // namespace fotrix
