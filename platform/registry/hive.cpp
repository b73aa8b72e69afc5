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

// A quoted string starting at s[pos] ('"'); pos ends after the closing quote.
bool parseQuoted(std::string_view s, size_t& pos, std::string& out)
{
    if (pos >= s.size() || s[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos >= s.size()) return false;
            c = s[pos++];
            if (c != '\\' && c != '"') return false;
        }
        out += c;
    }
    return false;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool parseHexList(std::string_view s, std::vector<uint8_t>& out)
{
    out.clear();
    size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        if (pos + 2 > s.size()) return s.substr(pos).find_first_not_of(" \t") == std::string_view::npos;
        int hi = hexDigit(s[pos]), lo = hexDigit(s[pos + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        pos += 2;
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        if (pos < s.size()) {
            if (s[pos] != ',') return false;
            ++pos;
        }
        if (out.size() > (1u << 20)) return false;
    }
    return true;
}

bool parseData(std::string_view s, RegValue& v)
{
    if (!s.empty() && s[0] == '"') {
        size_t pos = 0;
        std::string text;
        if (!parseQuoted(s, pos, text) || s.substr(pos).find_first_not_of(" \t\r") != std::string_view::npos) return false;
        v.type = 1;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
        return true;
    }
    if (s.substr(0, 6) == "dword:") {
        std::string_view digits = s.substr(6);
        while (!digits.empty() && (digits.back() == '\r' || digits.back() == ' ')) digits.remove_suffix(1);
        if (digits.size() != 8) return false;
        uint32_t d = 0;
        for (char c : digits) {
            int h = hexDigit(c);
            if (h < 0) return false;
            d = d * 16 + static_cast<uint32_t>(h);
        }
        v.type = 4;
        v.data = {static_cast<uint8_t>(d), static_cast<uint8_t>(d >> 8), static_cast<uint8_t>(d >> 16), static_cast<uint8_t>(d >> 24)};
        return true;
    }
    if (s.substr(0, 4) == "hex:") {
        v.type = 3;
        return parseHexList(s.substr(4), v.data);
    }
    if (s.substr(0, 4) == "hex(") {
        size_t close = s.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
        uint32_t type = 0;
        for (char c : s.substr(4, close - 4)) {
            int h = hexDigit(c);
            if (h < 0) return false;
            type = type * 16 + static_cast<uint32_t>(h);
        }
        v.type = type;
        return parseHexList(s.substr(close + 2), v.data);
    }
    return false;
}

bool fail(std::string& error, int line, const char* why)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "line %d: %s", line, why);
    error = buf;
    return false;
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

bool regParse(std::string_view text, const std::string& rootName, RegNode& root, std::string& error)
{
    root = RegNode{};
    std::vector<std::string> lines;
    {
        // Joins continued lines (a trailing backslash in hex lists).
        std::string current;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            start = end + 1;
            bool continued = !line.empty() && line.back() == '\\' && current.find("=hex") != std::string::npos;
            if (!current.empty()) {
                size_t first = line.find_first_not_of(" \t");
                line = first == std::string_view::npos ? std::string_view() : line.substr(first);
            }
            if (continued || (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string_view::npos)) {
                line.remove_suffix(1);
                current += line;
                continue;
            }
            current += line;
            lines.push_back(std::move(current));
            current.clear();
        }
        if (!current.empty()) lines.push_back(std::move(current));
    }
    if (lines.empty() || lines[0] != "REGEDIT4") return fail(error, 1, "not a REGEDIT4 file");
    RegNode* key = nullptr;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        int number = static_cast<int>(i) + 1;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return fail(error, number, "unclosed key header");
            std::string_view path(line.data() + 1, line.size() - 2);
            if (!regNameEquals(path.substr(0, rootName.size()), rootName) ||
                (path.size() > rootName.size() && path[rootName.size()] != '\\'))
                return fail(error, number, "key outside the hive");
            key = regWalk(&root, path.substr(rootName.size()), true, nullptr);
            continue;
        }
        if (!key) return fail(error, number, "value before any key");
        RegValue v;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!parseQuoted(line, pos, v.name)) {
            return fail(error, number, "bad value name");
        }
        if (pos >= line.size() || line[pos] != '=') return fail(error, number, "missing '='");
        if (!parseData(std::string_view(line).substr(pos + 1), v)) return fail(error, number, "bad value data");
        if (RegValue* existing = regFindValue(key, v.name)) *existing = std::move(v);
        else key->values.push_back(std::move(v));
    }
    return true;
}
