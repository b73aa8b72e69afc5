// The commands a script may use: name, arguments and the runner of each.
#include "app/script/script_runners.h"

namespace fotrix::script {

namespace {

using K = ArgKind;

constexpr CommandSpec kCommands[] = {
    {"tap", 2, {K::Coordinate, K::Coordinate}, RunTap},
    {"double-tap", 2, {K::Coordinate, K::Coordinate}, RunDoubleTap},
    {"hold", 2, {K::Coordinate, K::Coordinate}, RunHold},
    {"drag", 4, {K::Coordinate, K::Coordinate, K::Coordinate, K::Coordinate}, RunDrag},
    {"wheel", 3, {K::Coordinate, K::Coordinate, K::Coordinate}, RunWheel},
    {"pinch", 4, {K::Coordinate, K::Coordinate, K::Coordinate, K::Coordinate}, RunPinch},
    {"key", 1, {K::Key}, RunKey},
    {"text", 1, {K::Text}, RunText},
    {"command", 1, {K::Id}, RunCommand},
    {"dialog-command", 1, {K::Id}, RunDialogCommand},
    {"dialog-text", 2, {K::Id, K::Text}, RunDialogText},
    {"dialog-check", 2, {K::Id, K::Flag}, RunDialogCheck},
    {"dialog-select", 2, {K::Id, K::Index}, RunDialogSelect},
    {"wait", 1, {K::Millis}, RunWait},
    {"idle", 0, {}, RunIdle},
    {"sleep", 1, {K::Millis}, RunSleep},
    {"screenshot", 1, {K::File}, RunScreenshot},
    {"state", 1, {K::File}, RunState},
    {"quit", 0, {}, RunQuit},
};

}  // namespace

const CommandSpec* FindCommandSpec(const std::string& name)
{
    for (const CommandSpec& spec : kCommands)
        if (name == spec.name) return &spec;
    return nullptr;
}

}  // namespace fotrix::script
