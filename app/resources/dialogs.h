#pragma once

namespace fotrix {

// Registers the about dialog (4014): name, version and a line about the
// image library; its texts are relabelled from the "DlgAbout" section.
void RegisterAppDialogs();

}  // namespace fotrix
