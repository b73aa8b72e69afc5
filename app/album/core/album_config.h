#pragma once
// The "config" member of an album: what the builder writes and what the
// player reads back (the picture members in showing order, the sound member,
// and the four keys that matter when playing).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/album/core/slideshow_settings.h"

namespace fotrix {

constexpr std::string_view kAlbumHeader = "#Fotrix Album";
// Members are "%04d" of their index; the sound member follows the pictures.
std::string albumMemberName(int index);

// Kind of the sound from the path it had when the album was built, searched
// case-sensitively: ".mp3" gives 2, else ".wav" 1, else 0 (played without an
// extension, by content).
enum SoundKind { SoundUnknown = 0, SoundWav = 1, SoundMp3 = 2 };
SoundKind soundKindOf(std::string_view path);
// The extension the extracted sound file is given back ("" for kind 0).
const char* soundKindExtension(SoundKind kind);

struct AlbumEntry {
    std::string member;  // text before the first comma
    std::string label;   // the rest: the picture's file name, or the sound's path
};

struct AlbumDescription {
    int delay = 0;
    int transitions = 0;
    int audio = 0;
    int loop = 0;
    std::vector<AlbumEntry> pictures;  // in showing order
    std::optional<AlbumEntry> sound;
    SoundKind soundKind = SoundUnknown;
};

// Parses a config text; nullopt when the header, the count or an entry line is
// missing or the count is not positive. Key lines may come in any order and
// unknown lines are ignored.
std::optional<AlbumDescription> parseAlbumConfig(std::string_view text);

// The config text the builder writes for these picture file names (folders are
// cut off at the last slash or backslash); with `withSound` the sound entry
// names settings.soundPath.
std::string writeAlbumConfig(const std::vector<std::string>& pictures, const SlideshowSettings& settings,
                             bool withSound);

}  // namespace fotrix
