#pragma once
// What a slideshow plays, whatever file it comes from: the pictures in
// showing order, the timing and loop rules, and the optional sound. An
// album and a self-running file each give one; the player window shows
// either the same way. Pictures are taken out one at a time into a private
// working folder under the temporary folder, which goes with the source.
#include <cstdint>
#include <memory>
#include <string>

#include "app/album/core/album_config.h"
#include "imagelib/bitmap.h"

namespace fotrix {

class SlideSource {
public:
    virtual ~SlideSource() = default;
    virtual int count() const = 0;
    virtual int delay() const = 0;  // seconds
    virtual bool transitions() const = 0;
    virtual bool loop() const = 0;
    // Loads picture `index`; false (and `bitmap` empty) when it is missing
    // or cannot be loaded: the player skips it.
    virtual bool load(int index, Bitmap& bitmap) = 0;
    // Writes the sound out once and returns its path; empty when the show
    // has none or it cannot be written.
    virtual std::string soundFile() = 0;
    virtual SoundKind soundKind() const = 0;
    // What the script's `sound` key shows while it plays.
    virtual std::string soundName() const = 0;
};

// An album (".alb"); null when it cannot be opened or its config is no album.
std::unique_ptr<SlideSource> openAlbumSource(const std::string& path, const std::string& temporaryRoot);
// The show that a self-running file carries after its slideshow program;
// null when the file has none or its tail does not hold together.
// `background` receives the show's background colour (0x00BBGGRR).
std::unique_ptr<SlideSource> openSelfRunningSource(const std::string& path, const std::string& temporaryRoot,
                                                   uint32_t* background);

// The temporary folder the program uses ($TMPDIR, else /tmp), without a
// trailing slash.
std::string temporaryFolderRoot();

}  // namespace fotrix
