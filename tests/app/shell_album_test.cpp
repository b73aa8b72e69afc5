// An album played over the browser: the thumbnail worker rests while the
// show runs, so no second thread decodes pictures, and takes up its work
// again when the show ends; the wizard commands are enabled.
#include <chrono>
#include <thread>

#include "app/album/core/album_build.h"
#include "app/album/slideshow_player.h"
#include "app/browser/browser.h"
#include "app/shell/command_ids.h"
#include "tests/app/browser_fixture.h"
#include "tests/app/shell_fixture.h"

using namespace fotrix;

namespace shelltest {
namespace {

// A suite of its own, so that the shell's suite keeps its place in the run.
class AlbumShell : public ShellWindow {};

int thumbnailsMade()
{
    int made = 0;
    for (const FileEntry& entry : gApp.files) made += entry.state == EntryThumbnail;
    return made;
}

TEST_F(AlbumShell, thumbnail_worker_rests_while_an_album_plays)
{
    createMain();
    fillList(2);
    BuildJob job;
    job.pictures = {gApp.files[0].path, gApp.files[1].path};
    job.settings.outputDir = dir.path().string() + "/";
    job.settings.outputName = "show.alb";
    job.temporaryFolder = dir.path().string();
    ASSERT_EQ(albumBuild(job), BuildResult::Done);
    // Enough pictures that the worker is still busy when the show starts.
    const std::filesystem::path folder = dir / "pictures";
    for (int i = 0; i < 250; ++i)
        browsertest::writeBmp(folder / ("more" + std::to_string(i) + ".bmp"), 300, 200, static_cast<uint8_t>(i));
    RefillFileList();
    ASSERT_TRUE(slideshowStart((dir / "show.alb").string()));
    EXPECT_FALSE(BrowserBusy());
    const int made = thumbnailsMade();
    ASSERT_LT(made, fileCount());
    // The new files' change notifications arrive meanwhile; they change the
    // list but must not start the worker again.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    PlatformRunPending();
    EXPECT_FALSE(BrowserBusy());
    EXPECT_LE(thumbnailsMade(), made);
    DestroyWindow(FindWindow("slideClass", ""));
    EXPECT_FALSE(slideshowRunning());
    settle();
    EXPECT_EQ(thumbnailsMade(), fileCount());
}

TEST_F(AlbumShell, wizard_commands_are_enabled)
{
    createMain();
    EXPECT_TRUE(menuEnabled(CmdMakeAlbum));
    EXPECT_TRUE(menuEnabled(CmdMakeSlideshowProgram));
}

}  // namespace
}  // namespace shelltest
