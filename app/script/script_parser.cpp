// Reading a script: one command a line, `#` starts a comment outside quotes,
// words separated by blanks, texts in double quotes with \" and \\ escapes.
// Every line is checked before anything runs, so a bad script changes nothing.
#include "app/script/script_command.h"

#include <charconv>
#include <climits>

namespace fotrix::script {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Limits of the numeric kinds: wide enough for any screen, id or duration,
// narrow enough that nothing downstream overflows.
struct NumberRange {
    ArgKind kind;
    long low;
    long high;
    const char* what;
};
constexpr NumberRange kRanges[] = {
    {ArgKind::Coordinate, -32768, 32767, "coordinate"},
    {ArgKind::Millis, 0, 86400000, "duration"},
    {ArgKind::Id, 0, 65535, "id"},
    {ArgKind::Index, 0, INT_MAX, "index"},
    {ArgKind::Flag, 0, 1, "value (0 or 1)"},
};

const NumberRange* rangeOf(ArgKind kind)
{
    for (const NumberRange& r : kRanges)
        if (r.kind == kind) return &r;
    return nullptr;
}

// A quoted text from just after its opening quote; false when the line ends first.
bool readQuoted(const std::string& line, size_t* pos, std::string* out, std::string* error)
{
    for (size_t i = *pos; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            *pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= line.size()) break;
            char next = line[++i];
            if (next != '"' && next != '\\') {
                *error = std::string("bad escape \\") + next + " (only \\\" and \\\\)";
                return false;
            }
            c = next;
        }
        out->push_back(c);
    }
    *error = "unterminated quote";
    return false;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool tokenize(const std::string& line, std::vector<Token>* tokens, std::string* error)
{
    size_t pos = 0;
    while (pos < line.size()) {
        char c = line[pos];
        if (isBlank(c)) {
            ++pos;
        } else if (c == '#') {
            return true;
        } else if (c == '"') {
            Token t{"", true};
            ++pos;
            if (!readQuoted(line, &pos, &t.text, error)) return false;
            if (pos < line.size() && !isBlank(line[pos]) && line[pos] != '#') {
                *error = "text runs on after its closing quote";
                return false;
            }
            tokens->push_back(std::move(t));
        } else {
            size_t end = pos;
            while (end < line.size() && !isBlank(line[end]) && line[end] != '#') ++end;
            Token t{line.substr(pos, end - pos), false};
            if (t.text.find('"') != std::string::npos) {
                *error = "stray quote in '" + t.text + "'";
                return false;
            }
            tokens->push_back(std::move(t));
            pos = end;
        }
    }
    return true;
}

bool parseNumber(const Token& token, ArgKind kind, Arg* arg, std::string* error)
{
    const NumberRange* range = rangeOf(kind);
    long value = 0;
    const char* first = token.text.data();
    const char* last = first + token.text.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (token.quoted || token.text.empty() || ec != std::errc() || end != last) {
        *error = "bad number '" + token.text + "'";
        return false;
    }
    if (value < range->low || value > range->high) {
        *error = std::string("bad ") + range->what + " " + token.text;
        return false;
    }
    arg->number = value;
    return true;
}

std::string absoluteFile(const std::string& name, const std::string& baseFolder)
{
    if (name.empty() || name[0] == '/' || baseFolder.empty()) return name;
    return baseFolder + name;
}

bool parseArg(const Token& token, ArgKind kind, const std::string& baseFolder, Arg* arg, std::string* error)
{
    switch (kind) {
    case ArgKind::Key: {
        unsigned vk = 0;
        if (token.quoted || !KeyCodeOf(token.text, &vk)) {
            *error = "unknown key '" + token.text + "'";
            return false;
        }
        arg->number = static_cast<long>(vk);
        arg->text = token.text;
        return true;
    }
    case ArgKind::Text:
        if (!token.quoted) {
            *error = "text must be in double quotes";
            return false;
        }
        arg->text = token.text;
        return true;
    case ArgKind::File:
        if (token.text.empty()) {
            *error = "empty file name";
            return false;
        }
        arg->text = absoluteFile(token.text, baseFolder);
        return true;
    default:
        return parseNumber(token, kind, arg, error);
    }
}

// Checks one line; an empty or comment line gives no command.
bool parseLine(const std::string& line, const std::string& baseFolder, std::vector<Command>* commands, std::string* error)
{
    std::vector<Token> tokens;
    if (!tokenize(line, &tokens, error)) return false;
    if (tokens.empty()) return true;
    const CommandSpec* spec = tokens[0].quoted ? nullptr : FindCommandSpec(tokens[0].text);
    if (!spec) {
        *error = "unknown command '" + tokens[0].text + "'";
        return false;
    }
    int given = static_cast<int>(tokens.size()) - 1;
    if (given < spec->argCount) {
        *error = std::string("missing argument to ") + spec->name;
        return false;
    }
    if (given > spec->argCount) {
        *error = std::string("too many arguments to ") + spec->name;
        return false;
    }
    Command command;
    command.spec = spec;
    command.args.resize(static_cast<size_t>(spec->argCount));
    for (int i = 0; i < spec->argCount; ++i)
        if (!parseArg(tokens[static_cast<size_t>(i) + 1], spec->args[i], baseFolder, &command.args[static_cast<size_t>(i)], error))
            return false;
    commands->push_back(std::move(command));
    return true;
}

}  // namespace

bool ParseScript(const std::string& text, const std::string& baseFolder, std::vector<Command>* commands, std::string* error)
{
    std::vector<Command> parsed;
    size_t pos = 0;
    for (int lineNumber = 1; pos <= text.size(); ++lineNumber) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string why;
        size_t before = parsed.size();
        if (!parseLine(line, baseFolder, &parsed, &why)) {
            *error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        }
        if (parsed.size() > before) parsed.back().line = lineNumber;
        pos = end + 1;
    }
    *commands = std::move(parsed);
    return true;
}

}  // namespace fotrix::script
