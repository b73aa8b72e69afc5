#include "app/album/core/album_archive.h"

#include <vector>

#include "archive/zip.h"

namespace fotrix {

namespace {

std::optional<std::string> readConfig(ZipHandle* zip)
{
    int index = -1;
    ZipEntry entry;
    if (zipFind(zip, "config", false, index, entry) != ZipOk || entry.size > kAlbumMaxConfig) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(entry.size));
    if (zipExtractToMemory(zip, index, bytes) != ZipOk) return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

bool isPlainMemberName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

AlbumArchive::~AlbumArchive() { close(); }

AlbumOpenError AlbumArchive::open(const std::string& path, const std::string& temporaryRoot)
{
    close();
    zip_ = zipOpen(path.c_str());
    if (!zip_) return AlbumOpenError::CannotOpen;
    std::optional<std::string> config = readConfig(zip_);
    std::optional<AlbumDescription> description = config ? parseAlbumConfig(*config) : std::nullopt;
    if (!description) {
        close();
        return config ? AlbumOpenError::BadConfig : AlbumOpenError::NoConfig;
    }
    description_ = std::move(*description);
    if (!folder_.make(temporaryRoot)) {
        close();
        return AlbumOpenError::NoWorkingFolder;
    }
    zipSetBaseDir(zip_, folder_.path().c_str());
    ZipExtractLimits limits;
    limits.maxMemberSize = kAlbumMaxMember;
    limits.maxRatio = 1000;
    zipSetExtractLimits(zip_, limits);
    return AlbumOpenError::None;
}

void AlbumArchive::close()
{
    if (zip_) zipCloseReader(zip_);
    zip_ = nullptr;
    folder_.remove();
    description_ = {};
}

int AlbumArchive::memberCount() const { return zip_ ? zipCount(zip_) : 0; }

std::optional<std::string> AlbumArchive::extract(const std::string& member, const std::string& fileName)
{
    const std::string& target = fileName.empty() ? member : fileName;
    if (!zip_ || !isPlainMemberName(member) || !isPlainMemberName(target)) return std::nullopt;
    int index = -1;
    ZipEntry entry;
    if (zipFind(zip_, member.c_str(), false, index, entry) != ZipOk || entry.isFolder) return std::nullopt;
    std::string path = folder_.file(target);
    if (zipExtract(zip_, index, path.c_str()) != ZipOk) return std::nullopt;
    return path;
}

std::optional<std::string> AlbumArchive::extractSound()
{
    if (!description_.sound) return std::nullopt;
    const std::string& member = description_.sound->member;
    return extract(member, member + soundKindExtension(description_.soundKind));
}

}  // namespace fotrix
