#include "app/language.h"
#include "app/language_file.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fotrix {

namespace {

struct LanguageFile {
    bool open = false;
    std::vector<std::string> lines;
    int stringSection = -2;  // -2: not looked up yet
    int dialogSection = -1;
    std::string code = "en";
    std::string folder;
};

LanguageFile language;

// Language codes name files: only letters, digits, "-" and "_" (no paths).
bool validCode(const std::string& code)
{
    if (code.empty() || code.size() > 64) return false;
    for (char c : code)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) return false;
    return true;
}

std::string lowerCase(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int copyText(const std::string& text, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    while (n > 0 && n < text.size() && (static_cast<uint8_t>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

}  // namespace

void SetLanguageFolder(const char* folder)
{
    language.folder = folder ? folder : "";
    if (!language.folder.empty() && language.folder.back() != '/') language.folder += '/';
}

static bool holdsLanguageFiles(const std::filesystem::path& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".lng") return true;
    return false;
}

// Where the language files are when no folder was set: FOTRIX_LANGUAGE_DIR;
// else the program's own folder when it holds any; else the installed share
// folder beside the program's (bin/../share/fotrix-pocket/languages/); else
// the program's folder.
std::string LanguageFolder()
{
    if (!language.folder.empty()) return language.folder;
    if (const char* env = std::getenv("FOTRIX_LANGUAGE_DIR"); env && *env) {
        std::string folder = env;
        return folder.back() == '/' ? folder : folder + '/';
    }
    char buffer[4096];
    std::string program = GetProgramFolder(buffer, sizeof buffer) ? buffer : "./";
    if (holdsLanguageFiles(program)) return program;
    std::string shared = program + "../share/fotrix-pocket/languages/";
    return holdsLanguageFiles(shared) ? shared : program;
}

std::string SystemLanguage()
{
    char buffer[16] = "";
    if (!GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, buffer, sizeof buffer) &&
        !GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, buffer, sizeof buffer))
        return "en";
    std::string code = lowerCase(std::string(buffer).substr(0, 2));
    return validCode(code) ? code : "en";
}

int OpenLanguage(const char* code)
{
    CloseLanguage();
    std::string wanted = code && *code ? code : SystemLanguage();
    language.code = "en";
    if (!validCode(wanted)) return 0;
    std::string folder = LanguageFolder();
    // Codes are lower case; a file named in upper case is found too.
    for (const std::string& name : {wanted, lowerCase(wanted)}) {
        if (languageLoadLines(folder + name + ".lng", language.lines)) {
            language.open = true;
            language.code = lowerCase(wanted);
            return 1;
        }
    }
    return 0;
}

void CloseLanguage()
{
    language.open = false;
    language.lines.clear();
    language.stringSection = -2;
    language.dialogSection = -1;
}

const char* CurrentLanguage() { return language.code.c_str(); }

int SetLanguage(const char* code)
{
    std::string next = code ? std::string(code).substr(0, 64) : "";
    if (next.substr(0, 2) == language.code.substr(0, 2)) return 0;
    language.code = next.substr(0, 2);
    return 1;
}

int Tr(HINSTANCE instance, UINT number, const char* key, char* buffer, int capacity)
{
    if (language.open && key) {
        if (language.stringSection == -2) language.stringSection = languageFindSection(language.lines, "String");
        std::string value;
        if (languageFindKey(language.lines, language.stringSection, key, value)) return copyText(value, buffer, capacity);
    }
    return LoadString(instance, number, buffer, capacity);
}

std::string Tr(UINT number, const char* key)
{
    std::vector<char> buffer(4096);
    int n = Tr(GetModuleHandle(nullptr), number, key, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(n));
}

bool languageLookup(std::string_view name, std::string_view key, std::string& value)
{
    if (!language.open) return false;
    int section = languageFindSection(language.lines, name);
    return section >= 0 && languageFindKey(language.lines, section, key, value);
}

void BeginDialogSection(const char* name)
{
    language.dialogSection = language.open && name ? languageFindSection(language.lines, name) : -1;
}

void SetDlgItemTr(HWND dialog, int control, const char* key)
{
    std::string value;
    if (language.open && key && languageFindKey(language.lines, language.dialogSection, key, value))
        SetDlgItemText(dialog, control, value.c_str());
}

std::vector<LanguageChoice> ListLanguages(int* selected)
{
    std::vector<LanguageChoice> list{{"en", "en - English"}};
    std::string folder = LanguageFolder();
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((folder + "*.lng").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::vector<std::string> lines;
            if (!languageLoadLines(folder + data.cFileName, lines) || lines.empty()) continue;
            // Only the start of the first line counts, as the chooser reads 63 bytes.
            std::string first = lines[0].substr(0, 63);
            while (!first.empty() && !utf8Valid(first)) first.pop_back();  // no half character at the cut
            std::string name = languageNameOf(first);
            if (name.empty()) continue;
            std::string code(data.cFileName, std::min<size_t>(2, std::strlen(data.cFileName)));
            list.push_back(LanguageChoice{code, code + " - " + name});
        } while (FindNextFile(find, &data));
        FindClose(find);
    }
    if (selected) {
        *selected = 0;
        std::string current = lowerCase(language.code.substr(0, 2));
        for (size_t i = 1; i < list.size(); ++i)
            if (lowerCase(list[i].code) == current) {
                *selected = static_cast<int>(i);
                break;
            }
    }
    return list;
}

}  // namespace fotrix
