#include "app/options/option_values.h"

#include "app/language.h"
#include "imagelib/formats.h"

namespace fotrix {

namespace {

// The key settings of AppState in the order of the Buttons page's rows.
constexpr int AppState::* kKeyFields[kKeyRowCount] = {&AppState::keyUp, &AppState::keyDown, &AppState::keyLeft,
                                                      &AppState::keyRight, &AppState::keyReturn};

// The number settings that are copied as they are, in both directions.
struct NumberField {
    int OptionValues::* option;
    int AppState::* state;
};
constexpr NumberField kNumberFields[] = {
    {&OptionValues::userViewMode, &AppState::userViewMode},
    {&OptionValues::useSplashScreen, &AppState::useSplashScreen},
    {&OptionValues::highQualityThumb, &AppState::highQualityThumb},
    {&OptionValues::thumbSize, &AppState::thumbSize},
    {&OptionValues::showLabel, &AppState::showLabel},
    {&OptionValues::fontTree, &AppState::fontTree},
    {&OptionValues::fontThumb, &AppState::fontThumb},
    {&OptionValues::openInFull, &AppState::openInFull},
    {&OptionValues::showExt, &AppState::showExt},
    {&OptionValues::viewMove, &AppState::viewMove},
    {&OptionValues::useScrollbar, &AppState::useScrollbar},
    {&OptionValues::rotateLeft, &AppState::rotateLeft},
    {&OptionValues::labelInFull, &AppState::labelInFull},
    {&OptionValues::playAnimatedGif, &AppState::playAnimatedGif},
    {&OptionValues::exifOrientation, &AppState::exifOrientation},
    {&OptionValues::slideUseDelay, &AppState::slideUseDelay},
    {&OptionValues::slideDelay, &AppState::slideDelay},
    {&OptionValues::slideUseTransition, &AppState::slideUseTransition},
    {&OptionValues::slideLandscape, &AppState::slideLandscape},
    {&OptionValues::useSoundFilename, &AppState::useSoundFilename},
    {&OptionValues::slideLoop, &AppState::slideLoop},
};

std::vector<FileTypeChoice> formatTableChoices()
{
    std::vector<FileTypeChoice> list;
    for (int i = 0; i < formatCount(); ++i) {
        const FormatEntry* entry = formatEntry(i);
        const char* extension = formatFirstExtension(i);
        if (!entry || !extension || !*extension) continue;
        std::string dotted = extension[0] == '.' ? extension : std::string(".") + extension;
        list.push_back({dotted, entry->description ? entry->description : "", false});
    }
    return list;
}

}  // namespace

std::vector<FileTypeChoice>& AssociationChoices()
{
    static std::vector<FileTypeChoice> choices;
    if (choices.empty()) choices = formatTableChoices();
    return choices;
}

OptionValues OptionValuesOf(const AppState& state)
{
    OptionValues values;
    for (const NumberField& f : kNumberFields) values.*f.option = state.*f.state;
    for (int row = 0; row < kKeyRowCount; ++row) values.keys[row] = state.*kKeyFields[row];
    values.homeFolder = state.homeFolder;
    values.soundFilename = state.soundFilename;
    values.viewBackColor = state.viewBackColor;
    values.slideBackColor = state.slideBackColor;
    values.language = CurrentLanguage();
    values.associations = AssociationChoices();
    return values;
}

void StoreOptionValues(const OptionValues& values, AppState& state)
{
    for (const NumberField& f : kNumberFields) state.*f.state = values.*f.option;
    for (int row = 0; row < kKeyRowCount; ++row) state.*kKeyFields[row] = values.keys[row];
    state.homeFolder = values.homeFolder;
    state.soundFilename = values.soundFilename;
    state.viewBackColor = values.viewBackColor;
    state.slideBackColor = values.slideBackColor;
}

}  // namespace fotrix
