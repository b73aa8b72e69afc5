#pragma once
// The General section of the settings: read once when the main window is
// made, written once when it goes. Values that are present but damaged (of the
// wrong type, too long, or outside the range the program can use) read as
// their defaults and are named once on stderr.
#include "app/shell/app_state.h"

#include <string>
#include <vector>

namespace fotrix {

constexpr const char* kGeneralSection = "General";

// Reads every General value (Fit included) into `state`.
void ReadGeneralSettings(AppState& state);
// Writes every General value but Fit (the Exit command writes Fit).
void WriteGeneralSettings(const AppState& state);
// Writes Fit as 2 (actual size), 1 (fit window) or 0 (shrink large pictures).
void WriteFitSetting(int fit);

// The names of the values the last ReadGeneralSettings replaced by their defaults.
const std::vector<std::string>& ReplacedGeneralSettings();

}  // namespace fotrix
