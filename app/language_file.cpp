#include "app/language_file.h"
#include "platform/base/utf8.h"

#include <cstdio>

namespace fotrix {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool keyEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Cuts a UTF-8 line to the limit without splitting a character.
void cutLine(std::string& line)
{
    if (line.size() <= kLanguageLineLimit) return;
    size_t n = kLanguageLineLimit;
    while (n > 0 && (static_cast<uint8_t>(line[n]) & 0xC0) == 0x80) --n;
    line.resize(n);
}

}  // namespace

bool languageLoadLines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string bytes;
    char buf[65536];
    size_t n;
    while (bytes.size() < kLanguageFileLimit && (n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    if (bytes.size() > kLanguageFileLimit) bytes.resize(kLanguageFileLimit);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::string text = utf8Valid(bytes) ? bytes : cp1252ToUtf8(bytes);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        // A longer line is cut; its rest never becomes a line of its own.
        lines.push_back(text.substr(start, end - start));
        cutLine(lines.back());
        start = end + 1;
    }
    return true;
}

int languageFindSection(const std::vector<std::string>& lines, std::string_view name)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (!l.empty() && l[0] == '[' && std::string_view(l).substr(1, name.size()) == name) return static_cast<int>(i);
    }
    return -1;
}

bool languageFindKey(const std::vector<std::string>& lines, int section, std::string_view key, std::string& value)
{
    if (section < 0) return false;
    for (size_t i = static_cast<size_t>(section) + 1; i < lines.size(); ++i) {
        std::string_view l = lines[i];
        if (!l.empty() && l[0] == '[') return false;
        size_t eq = l.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view k = l.substr(0, eq);
        while (!k.empty() && (k.back() == ' ' || k.back() == '\t')) k.remove_suffix(1);
        if (!keyEquals(k, key)) continue;
        std::string_view v = l.substr(eq + 1);
        while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
        size_t stop = v.find_first_of("\r\n");
        if (stop != std::string_view::npos) v = v.substr(0, stop);
        while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
        if (utf8Length(v) < 2) continue;  // too short to be a text: look further
        value.clear();
        for (size_t j = 0; j < v.size(); ++j) {
            if (v[j] == '\\' && j + 1 < v.size() && v[j + 1] == 'n') {
                value += "\r\n";
                ++j;
            } else {
                value += v[j];
            }
        }
        return true;
    }
    return false;
}

std::string languageNameOf(std::string_view line)
{
    // The first word ends at a space, tab or "="; the name starts right after
    // that one separator and runs to the end of the line.
    constexpr std::string_view separators = " \t=";
    size_t start = line.find_first_not_of(separators);
    if (start == std::string_view::npos) return "";
    size_t sep = line.find_first_of(separators, start);
    if (sep == std::string_view::npos) return "";
    std::string_view rest = line.substr(sep + 1);
    size_t first = rest.find_first_not_of("\r\n");
    if (first == std::string_view::npos) return "";
    rest = rest.substr(first);
    return std::string(rest.substr(0, rest.find_first_of("\r\n")));
}

}  // namespace fotrix
