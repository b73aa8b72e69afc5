// Reading REGEDIT4 text into a hive tree, line by line in one pass. Every
// line is checked on its own: a bad line is reported and left out, and every
// good line is kept. Names are found through per-key indexes, so the time
// grows with the size of the text, and nothing recurses, so no line can
// exhaust the stack however deeply it nests.
#include "platform/registry/hive.h"
#include "platform/registry/registry.h"

#include <cstdio>
#include <unordered_map>

namespace {

// A logical line longer than the longest value can be written as (hex list
// of kRegMaxValueData bytes and the longest name) is never a good one.
constexpr size_t kMaxLogicalLine = 3 * kRegMaxValueData + 2 * kRegMaxValueName + 64;
constexpr size_t kReportedBadLines = 5;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Physical lines joined into logical ones: a hex list continues on the next
// line after a trailing backslash.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next logical line and the number of its first physical line.
    bool next(std::string& line, int& number, bool& tooLong)
    {
        if (pos_ >= text_.size()) return false;
        line.clear();
        tooLong = false;
        number = physical_ + 1;
        bool first = true, hex = false;
        while (pos_ < text_.size()) {
            std::string_view part = take();
            if (!first) part = trimmedFront(part);
            if (first) hex = part.find("=hex") != std::string_view::npos;
            first = false;
            const bool continued = hex && !part.empty() && part.back() == '\\';
            if (continued) part.remove_suffix(1);
            if (line.size() + part.size() > kMaxLogicalLine) tooLong = true;
            if (!tooLong) line.append(part);
            else if (line.empty() && !part.empty()) line.assign(1, part[0]);  // still tells a key header
            if (!continued) break;
        }
        return true;
    }

private:
    std::string_view take()
    {
        size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view part = text_.substr(pos_, end - pos_);
        if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
        pos_ = end + 1;
        ++physical_;
        return part;
    }

    static std::string_view trimmedFront(std::string_view s)
    {
        const size_t first = s.find_first_not_of(" \t");
        return first == std::string_view::npos ? std::string_view() : s.substr(first);
    }

    std::string_view text_;
    size_t pos_ = 0;
    int physical_ = 0;
};

// A quoted string starting at s[pos] ('"'); pos ends after the closing quote.
const char* parseQuoted(std::string_view s, size_t& pos, std::string& out)
{
    if (pos >= s.size() || s[pos] != '"') return "bad value name";
    ++pos;
    out.clear();
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"') return nullptr;
        if (c == '\\') {
            if (pos >= s.size()) break;
            c = s[pos++];
            if (c != '\\' && c != '"') return "unknown escape";
        }
        out += c;
    }
    return "unterminated string";
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
        if (out.size() > kRegMaxValueData) return false;
    }
    return true;
}

bool parseHexNumber(std::string_view digits, uint32_t& value)
{
    value = 0;
    for (char c : digits) {
        const int h = hexDigit(c);
        if (h < 0) return false;
        value = value * 16 + static_cast<uint32_t>(h);
    }
    return true;
}

const char* parseText(std::string_view s, RegValue& v)
{
    size_t pos = 0;
    std::string text;
    if (const char* why = parseQuoted(s, pos, text)) return why;
    if (s.substr(pos).find_first_not_of(" \t\r") != std::string_view::npos) return "bad value data";
    if (text.size() >= kRegMaxValueData) return "value too long";
    v.type = REG_SZ;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return nullptr;
}

const char* parseDword(std::string_view digits, RegValue& v)
{
    while (!digits.empty() && (digits.back() == '\r' || digits.back() == ' ')) digits.remove_suffix(1);
    uint32_t d = 0;
    if (digits.size() != 8 || !parseHexNumber(digits, d)) return "bad dword (eight hex digits)";
    v.type = REG_DWORD;
    v.data = {static_cast<uint8_t>(d), static_cast<uint8_t>(d >> 8), static_cast<uint8_t>(d >> 16), static_cast<uint8_t>(d >> 24)};
    return nullptr;
}

const char* parseData(std::string_view s, RegValue& v)
{
    if (!s.empty() && s[0] == '"') return parseText(s, v);
    if (s.substr(0, 6) == "dword:") return parseDword(s.substr(6), v);
    if (s.substr(0, 4) == "hex:") {
        v.type = REG_BINARY;
        return parseHexList(s.substr(4), v.data) ? nullptr : "bad hex list";
    }
    if (s.substr(0, 4) == "hex(") {
        const size_t close = s.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return "bad value type";
        uint32_t type = 0;
        if (!parseHexNumber(s.substr(4, close - 4), type)) return "bad value type";
        v.type = type;
        return parseHexList(s.substr(close + 2), v.data) ? nullptr : "bad hex list";
    }
    return "bad value data";
}

// The names below one key, folded to lower case, for lookups in constant time.
struct KeyIndex {
    std::unordered_map<std::string, RegNode*> keys;
    std::unordered_map<std::string, size_t> values;
};

class HiveParser {
public:
    HiveParser(const std::string& rootName, RegNode& root) : rootName_(rootName), root_(root) {}

    // A line left out whole: values after a refused key header are not
    // put under the key before it.
    void refuse(std::string_view text)
    {
        if (!text.empty() && text[0] == '[') key_ = nullptr;
    }

    // Null for a good line, else why it was left out.
    const char* line(std::string_view text)
    {
        if (text.empty() || text[0] == ';') return nullptr;
        if (text.find('\0') != std::string_view::npos) {
            key_ = text[0] == '[' ? nullptr : key_;  // values after a refused key are not misplaced
            return "NUL byte";
        }
        return text[0] == '[' ? keyLine(text) : valueLine(text);
    }

private:
    const char* keyLine(std::string_view text)
    {
        key_ = nullptr;  // until this header proves good
        if (text.back() != ']') return "unclosed key header";
        std::string_view path = text.substr(1, text.size() - 2);
        if (!regNameEquals(path.substr(0, rootName_.size()), rootName_) ||
            (path.size() > rootName_.size() && path[rootName_.size()] != '\\'))
            return "key outside the hive";
        path.remove_prefix(rootName_.size());
        if (path.size() > kRegMaxKeyPath + 1) return "key path too long";
        RegNode* node = &root_;
        size_t start = 0;
        while (start <= path.size()) {
            size_t end = path.find('\\', start);
            if (end == std::string_view::npos) end = path.size();
            if (end > start && !(node = child(node, path.substr(start, end - start)))) return "too many keys and values";
            start = end + 1;
        }
        key_ = node;
        return nullptr;
    }

    RegNode* child(RegNode* node, std::string_view name)
    {
        RegNode*& slot = index_[node].keys[folded(name)];
        if (slot) return slot;
        if (++entries_ > kRegMaxEntries) return nullptr;
        node->keys.push_back(std::make_unique<RegNode>());
        slot = node->keys.back().get();
        slot->name = std::string(name);
        return slot;
    }

    const char* valueLine(std::string_view text)
    {
        if (!key_) return "value outside a good key";
        RegValue v;
        size_t pos = 0;
        if (text[0] == '@') pos = 1;
        else if (const char* why = parseQuoted(text, pos, v.name)) return why;
        if (v.name.size() > kRegMaxValueName) return "value name too long";
        if (pos >= text.size() || text[pos] != '=') return "missing '='";
        if (const char* why = parseData(text.substr(pos + 1), v)) return why;
        return store(std::move(v));
    }

    const char* store(RegValue&& v)
    {
        auto& values = index_[key_].values;
        auto [at, added] = values.try_emplace(folded(v.name), key_->values.size());
        if (!added) {
            key_->values[at->second] = std::move(v);  // a later line wins, as in a merge
            return nullptr;
        }
        if (++entries_ > kRegMaxEntries) {
            values.erase(at);
            return "too many keys and values";
        }
        key_->values.push_back(std::move(v));
        return nullptr;
    }

    const std::string& rootName_;
    RegNode& root_;
    RegNode* key_ = nullptr;
    size_t entries_ = 0;
    std::unordered_map<const RegNode*, KeyIndex> index_;
};

void noteBadLine(std::string& error, size_t& bad, int number, const char* why)
{
    if (++bad > kReportedBadLines) return;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%sline %d: %s", error.empty() ? "" : "; ", number, why);
    error += buf;
}

}  // namespace

bool regParse(std::string_view text, const std::string& rootName, RegNode& root, std::string& error)
{
    root = RegNode{};
    error.clear();
    LineReader lines(text);
    std::string line;
    int number = 0;
    bool tooLong = false;
    if (!lines.next(line, number, tooLong) || line != "REGEDIT4") {
        error = "line 1: not a REGEDIT4 file";
        return false;
    }
    HiveParser parser(rootName, root);
    size_t bad = 0;
    while (lines.next(line, number, tooLong)) {
        if (tooLong) parser.refuse(line);
        if (const char* why = tooLong ? "line too long" : parser.line(line)) noteBadLine(error, bad, number, why);
    }
    if (bad > kReportedBadLines) error += "; and " + std::to_string(bad - kReportedBadLines) + " more bad lines";
    return bad == 0;
}
