#include "app/album/core/album_config.h"

#include <cstdio>
#include <cstring>

namespace fotrix {

namespace {

// Lines of at most 511 characters, as the player has always read them; a
// longer line is cut there and its rest read as the next line.
constexpr size_t kMaxLine = 511;

class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    std::optional<std::string_view> next()
    {
        if (position_ >= text_.size()) return std::nullopt;
        size_t end = text_.find('\n', position_);
        size_t lineEnd = end == std::string_view::npos ? text_.size() : end;
        if (lineEnd - position_ > kMaxLine) lineEnd = position_ + kMaxLine, end = lineEnd - 1;
        std::string_view line = text_.substr(position_, lineEnd - position_);
        position_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

private:
    std::string_view text_;
    size_t position_ = 0;
};

// "Key = %d": the key's leading word, then the number after " = ".
bool readKey(std::string_view line, std::string_view prefix, std::string_view format, int& value)
{
    if (line.substr(0, prefix.size()) != prefix) return false;
    std::string copy(line);
    int number = 0;
    if (std::sscanf(copy.c_str(), std::string(format).c_str(), &number) == 1) value = number;
    return true;
}

struct KeyRule {
    std::string_view prefix;  // the leading characters that name the key
    std::string_view format;
    int AlbumDescription::*field;
};

constexpr KeyRule kKeys[] = {
    {"Delay", "Delay = %d", &AlbumDescription::delay},
    {"Transition", "Transitions = %d", &AlbumDescription::transitions},
    {"Audio", "Audio = %d", &AlbumDescription::audio},
    {"Loop", "Loop = %d", &AlbumDescription::loop},
};

AlbumEntry splitEntry(std::string_view line)
{
    size_t comma = line.find(',');
    if (comma == std::string_view::npos) return {std::string(line), {}};
    return {std::string(line.substr(0, comma)), std::string(line.substr(comma + 1))};
}

std::string leafName(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string albumMemberName(int index)
{
    char name[16];
    std::snprintf(name, sizeof name, "%04d", index);
    return name;
}

SoundKind soundKindOf(std::string_view path)
{
    if (path.find(".mp3") != std::string_view::npos) return SoundMp3;
    if (path.find(".wav") != std::string_view::npos) return SoundWav;
    return SoundUnknown;
}

const char* soundKindExtension(SoundKind kind)
{
    static const char* const extensions[] = {"", ".wav", ".mp3"};
    return extensions[kind];
}

std::optional<AlbumDescription> parseAlbumConfig(std::string_view text)
{
    LineReader lines(text);
    auto header = lines.next();
    if (!header || header->substr(0, kAlbumHeader.size()) != kAlbumHeader) return std::nullopt;
    auto countLine = lines.next();
    int count = 0;
    if (!countLine || std::sscanf(std::string(*countLine).c_str(), "count = %d", &count) != 1 || count < 1)
        return std::nullopt;
    std::vector<AlbumEntry> entries;
    // The count comes from the file: entries are added as lines arrive, so a
    // huge count costs nothing until its lines are really there.
    for (int i = 0; i < count; ++i) {
        auto line = lines.next();
        if (!line) return std::nullopt;
        entries.push_back(splitEntry(*line));
    }
    AlbumDescription album;
    while (auto line = lines.next())
        for (const KeyRule& key : kKeys)
            if (readKey(*line, key.prefix, key.format, album.*key.field)) break;
    if (album.audio) {
        album.sound = entries.back();
        album.soundKind = soundKindOf(album.sound->label);
        entries.pop_back();
    }
    album.pictures = std::move(entries);
    return album;
}

std::string writeAlbumConfig(const std::vector<std::string>& pictures, const SlideshowSettings& settings,
                             bool withSound)
{
    std::string text(kAlbumHeader);
    text += "\ncount = " + std::to_string(pictures.size() + (withSound ? 1 : 0)) + "\n";
    for (size_t i = 0; i < pictures.size(); ++i)
        text += albumMemberName(static_cast<int>(i)) + "," + leafName(pictures[i]) + "\n";
    if (withSound) text += albumMemberName(static_cast<int>(pictures.size())) + "," + settings.soundPath + "\n";
    const std::pair<const char*, int> keys[] = {
        {"Delay", settings.delay},     {"Size", settings.size},
        {"Fit", settings.fit},         {"Rotate", settings.rotate},
        {"AutoL", settings.autoLevels}, {"JPEGQ", settings.jpegQuality},
        {"Transitions", settings.transitions}, {"Loop", settings.loop},
        {"Audio", withSound ? settings.audio : 0},
    };
    for (const auto& [key, value] : keys) text += std::string(key) + " = " + std::to_string(value) + "\n";
    return text;
}

}  // namespace fotrix
