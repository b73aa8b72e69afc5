// Hive trees and the REGEDIT4 text format:
//   REGEDIT4
//   <blank line>
//   [HKEY_CURRENT_USER\Software\Fotrix Pocket]
//   "Path"="/home/me/Pictures/"
//   "Mode"=dword:00000002
//   "Blob"=hex:01,02,ff
//   @="default value"
// Texts with control characters are written as hex(1): bytes so that every
// value survives the round trip; backslash and quote are escaped in names and texts.
#include "platform/registry/hive.h"

#include <cstdio>

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool plainText(const std::vector<uint8_t>& data)
{
    if (data.empty() || data.back() != 0) return false;
    for (size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] < 0x20 || data[i] == 0x7F) return false;
    return true;
}

std::string quoted(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string hexBytes(const std::vector<uint8_t>& data, size_t prefixLength)
{
    // Long hex lists wrap at about 76 columns with a trailing backslash.
    std::string out;
    size_t column = prefixLength;
    char buf[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
        column += 2;
        if (i + 1 < data.size()) {
            out += ',';
            ++column;
            if (column > 74) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    return out;
}

void formatValue(const RegValue& v, std::string& out)
{
    std::string head = v.name.empty() ? "@=" : quoted(v.name) + "=";
    out += head;
    if (v.type == 1 /* REG_SZ */ && plainText(v.data)) {
        out += quoted(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
    } else if (v.type == 4 /* REG_DWORD */ && v.data.size() == 4) {
        uint32_t d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (static_cast<uint32_t>(v.data[3]) << 24);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        out += buf;
    } else if (v.type == 3 /* REG_BINARY */) {
        out += "hex:" + hexBytes(v.data, head.size() + 4);
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", v.type);
        out += prefix + hexBytes(v.data, head.size() + std::char_traits<char>::length(prefix));
    }
    out += "\n";
}

void formatKey(const RegNode& node, const std::string& path, bool isRoot, std::string& out)
{
    if (!isRoot || !node.values.empty()) {
        out += "[" + path + "]\n";
        for (const RegValue& v : node.values) formatValue(v, out);
        out += "\n";
    }
    for (const auto& child : node.keys) formatKey(*child, path + "\\" + child->name, false, out);
}

}  // namespace

bool regNameEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

RegNode* regFindChild(RegNode* node, std::string_view name)
{
    for (auto& c : node->keys)
        if (regNameEquals(c->name, name)) return c.get();
    return nullptr;
}

std::vector<std::string> regSplitPath(std::string_view path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

RegNode* regWalk(RegNode* root, std::string_view path, bool create, bool* created)
{
    if (created) *created = false;
    RegNode* node = root;
    for (const std::string& part : regSplitPath(path)) {
        RegNode* next = regFindChild(node, part);
        if (!next) {
            if (!create) return nullptr;
            node->keys.push_back(std::make_unique<RegNode>());
            next = node->keys.back().get();
            next->name = part;
            if (created) *created = true;
        }
        node = next;
    }
    return node;
}

RegValue* regFindValue(RegNode* node, std::string_view name)
{
    for (RegValue& v : node->values)
        if (regNameEquals(v.name, name)) return &v;
    return nullptr;
}

std::string regFormat(const RegNode& root, const std::string& rootName)
{
    std::string out = "REGEDIT4\n\n";
    formatKey(root, rootName, true, out);
    return out;
}

size_t regCountEntries(const RegNode& root)
{
    // With an explicit stack: the count must not depend on how deep keys go.
    size_t count = 0;
    std::vector<const RegNode*> pending{&root};
    while (!pending.empty()) {
        const RegNode* node = pending.back();
        pending.pop_back();
        count += node->values.size() + node->keys.size();
        for (const auto& child : node->keys) pending.push_back(child.get());
    }
    return count;
}
