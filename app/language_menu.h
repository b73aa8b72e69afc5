#pragma once
// Menus and menu bars relabelled from the "Menu" section of the language file,
// whose keys are the built-in texts exactly as the program's resources have
// them ("&File", "Options..."); and the language chooser of the options.
#include "platform/windows.h"

namespace fotrix {

// Relabels every item of `menu` and of its sub-menus whose built-in text has an
// entry, and, with a menu bar, the bar's text buttons. Items without an entry
// keep their text; their sub-menus are still relabelled. Either may be null.
void TranslateMenu(HWND menuBar, HMENU menu);

// Fills a combo box with "en - English" and one entry per language file
// ("fr - Francais"), and selects the current language (the first entry when
// no file matches it).
void FillLanguageList(HWND combo);

}  // namespace fotrix
