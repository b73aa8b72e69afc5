// The copy names and the new-folder proposal. The copy patterns come from the
// language file, so they are filled by a small formatter of our own that
// knows only %s, %d and %%, never by printf with a text from outside.
#include "app/browser/file_names.h"

#include "app/resources/texts.h"

#include <sys/stat.h>

#include <string_view>

namespace fotrix {

namespace {

struct PatternArgs {
    const std::string* texts[2];
    int number;
};

// Fills `pattern` whose conversions must be exactly `kinds` ("ss" or "sds");
// false when they are not.
bool fillPattern(const std::string& pattern, std::string_view kinds, const PatternArgs& args, std::string* out)
{
    out->clear();
    size_t kind = 0, text = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out->push_back(pattern[i]);
            continue;
        }
        const char c = ++i < pattern.size() ? pattern[i] : '\0';
        if (c == '%') {
            out->push_back('%');
            continue;
        }
        if (kind >= kinds.size() || c != kinds[kind++]) return false;
        if (c == 's') *out += *args.texts[text++];
        else *out += std::to_string(args.number);
    }
    return kind == kinds.size();
}

std::string builtInText(TextId id)
{
    for (const BuiltInText& text : BuiltInTexts())
        if (text.number == id.number) return text.english;
    return {};
}

// A copy name from pattern `id`; the language's text only when it keeps the
// copy a plain name inside `folder`.
std::string copyCandidate(TextId id, std::string_view kinds, const std::string& folder, const std::string& name,
                          int number)
{
    const PatternArgs args{{&folder, &name}, number};
    std::string path;
    for (const std::string& pattern : {Tr(id), builtInText(id)}) {
        if (pattern.compare(0, 2, "%s") != 0) continue;
        if (!fillPattern(pattern, kinds, args, &path) || path.compare(0, folder.size(), folder) != 0) continue;
        if (IsPlainName(path.substr(folder.size()))) return path;
    }
    return folder + name;
}

}  // namespace

bool IsPlainName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string MakeCopyName(const std::string& folder, const std::string& name)
{
    std::string candidate = folder + name;
    if (!PathExists(candidate)) return candidate;
    candidate = copyCandidate(kIdsCopy1, "ss", folder, name, 0);
    if (!PathExists(candidate)) return candidate;
    for (int n = 2; n <= 998; ++n) {
        candidate = copyCandidate(kIdsCopy2, "sds", folder, name, n);
        if (!PathExists(candidate)) return candidate;
    }
    return candidate;
}

std::string ProposeNewFolderName(const std::string& parent)
{
    const std::string name = Tr(kIdsNewFolder);
    if (!PathExists(parent + name)) return name;
    for (int n = 1; n <= 99; ++n) {
        std::string numbered = name + " (" + std::to_string(n) + ")";
        if (!PathExists(parent + numbered)) return numbered;
    }
    return name;
}

void SplitFilePath(const std::string& path, std::string* folder, std::string* name)
{
    const size_t slash = path.find_last_of('/');
    *folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace fotrix
