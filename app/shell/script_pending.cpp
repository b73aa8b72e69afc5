// Stand-in for the script driver until it is merged: every script is refused.
#include "app/shell/peer_interfaces.h"

namespace fotrix {

__attribute__((weak)) int ScriptLoad(const char*, std::string* error)
{
    if (error) *error = "line 0: the script driver is not part of this build";
    return 2;
}
__attribute__((weak)) void ScriptStart() {}
__attribute__((weak)) bool ScriptFinished() { return true; }
__attribute__((weak)) int ScriptExitCode() { return 2; }

}  // namespace fotrix
