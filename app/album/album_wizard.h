#pragma once
// The album wizard: seven pages behind the menu bar's Back and Next that
// choose the pictures and the show's settings and then build an album
// (".alb") or a self-running slideshow (".run") from them.
#include <string>
#include <vector>

#include "app/album/core/slideshow_settings.h"
#include "platform/windows.h"

namespace fotrix {

enum class WizardProduct { Album, SelfRunning };

// Runs the wizard over the main window; IDOK after a finished build, IDCANCEL
// when it was closed without one, -1 when it could not be made.
INT_PTR RunAlbumWizard(HWND owner, WizardProduct product);

// The "Slide" settings, as the wizard reads and stores them.
SlideshowSettings ReadSlideshowSettings();
void WriteSlideshowSettings(const SlideshowSettings& settings);

// For the script's state: "album" or "self-running" while the wizard is
// open (empty otherwise), and the index of the page shown.
std::string AlbumWizardName();
std::string AlbumWizardPage();

}  // namespace fotrix
