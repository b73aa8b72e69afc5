#pragma once
// An album opened for showing: its archive, its description, and a private
// working folder under the program's temporary folder where members are
// extracted one at a time. Member names come from the album, so extraction
// is confined to that folder (no "..", no absolute names) and bounded in
// size; the folder and whatever is left in it go when the album is closed.
#include <memory>
#include <optional>
#include <string>

#include "app/album/core/album_config.h"
#include "app/album/core/working_folder.h"

namespace fotrix {

struct ZipHandle;

enum class AlbumOpenError { None, CannotOpen, NoConfig, BadConfig, NoWorkingFolder };

class AlbumArchive {
public:
    AlbumArchive() = default;
    ~AlbumArchive();
    AlbumArchive(const AlbumArchive&) = delete;
    AlbumArchive& operator=(const AlbumArchive&) = delete;

    // Opens the album and reads its config; the working folder is made as a
    // new folder "Fotrix-XXXXXX" in `temporaryRoot`.
    AlbumOpenError open(const std::string& path, const std::string& temporaryRoot);
    void close();

    const AlbumDescription& description() const { return description_; }
    const std::string& workingFolder() const { return folder_.path(); }
    int memberCount() const;

    // Extracts a member into the working folder under `fileName` (the member's
    // own name when empty) and returns the path; nullopt when the member is
    // missing, unsafe, too large or damaged.
    std::optional<std::string> extract(const std::string& member, const std::string& fileName = {});
    // Extracts the sound member with the extension of its kind.
    std::optional<std::string> extractSound();

private:
    ZipHandle* zip_ = nullptr;
    AlbumDescription description_;
    WorkingFolder folder_;
};

// A plain member or file name: not empty, no separators, not "." or "..".
bool isPlainMemberName(const std::string& name);

// Bounds on one album's members: a prepared picture or a sound file is far
// below these.
constexpr uint64_t kAlbumMaxMember = 256ull << 20;
constexpr uint64_t kAlbumMaxConfig = 1ull << 20;

}  // namespace fotrix
