// Running a loaded script from the platform's idle hook: each time a message
// loop finds nothing to do, the command underway takes one turn. Commands that
// inject input or post a command finish in one turn; `wait`, `sleep`, `idle`,
// `hold` and `drag` take several, holding the clock between them.
#include "app/script/script.h"
#include "app/script/script_command.h"
#include "app/script/script_runtime.h"
#include "app/shell/command_ids.h"
#include "platform/window/idle_hook.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace fotrix {

namespace {

using script::Command;
using script::Step;
using script::StepResult;

// A command underway. `running` marks one whose own call is on the stack (a
// notification that opened a dialog, say): a loop nested in it goes on with
// the next command, and the outer call's result is then only checked for failure.
struct Underway {
    size_t index = 0;
    Step step;
    bool running = false;
};

// After the script has ended, the program gets this long to quit by itself
// (File > Exit may still have work to do) before it is told to with WM_QUIT.
constexpr long long kQuitGraceMs = 10000;

struct Runner {
    std::vector<script::Command> commands;
    size_t next = 0;
    std::unique_ptr<Underway> current;
    std::vector<std::unique_ptr<Underway>> overtaken;
    bool loaded = false;
    bool ended = false;
    bool forcedQuit = false;
    long long endedAt = 0;
    int exitCode = 0;
    bool (*busyCheck)() = nullptr;
    script::ItemTextSource itemTexts = nullptr;
    std::vector<void (*)(std::string&)> stateWriters;
};

Runner& runner()
{
    static Runner r;
    return r;
}

void endScript()
{
    Runner& r = runner();
    if (r.ended) return;
    r.ended = true;
    r.endedAt = script::RealNowMs();
    r.current.reset();
    script::QuitProgram();
}

void fail(const Command& command, const std::string& why)
{
    std::fprintf(stderr, "line %d: %s\n", command.line, why.c_str());
    runner().exitCode = 2;
    endScript();
}

// Once ended the hook holds nothing; it only makes sure the program does quit.
bool afterEnd(Runner& r)
{
    if (!r.forcedQuit && script::RealNowMs() - r.endedAt > kQuitGraceMs) {
        r.forcedQuit = true;
        PostQuitMessage(r.exitCode);
    }
    return false;
}

// Runs one turn of `u`; false when it must not be touched any more.
void runTurn(Runner& r, Underway* u)
{
    const Command& command = r.commands[u->index];
    u->running = true;
    StepResult result = command.spec->run(command, u->step);
    u->running = false;
    bool stillCurrent = r.current.get() == u;
    if (!stillCurrent) {
        // A loop nested in this turn went on with the script: forget this one.
        for (auto it = r.overtaken.begin(); it != r.overtaken.end(); ++it)
            if (it->get() == u) {
                r.overtaken.erase(it);
                break;
            }
        if (result == StepResult::Failed && !r.ended) fail(command, u->step.error);
        return;
    }
    if (result == StepResult::Failed) {
        fail(command, u->step.error);
    } else if (result == StepResult::Done) {
        bool last = u->step.endsScript;
        r.current.reset();
        if (last) endScript();
    }
}

// Milliseconds since the process was started (its start time in /proc, in
// clock ticks since boot), for FOTRIX_TRACE_FIRST_FRAME; -1 when unknown.
long millisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    size_t end = text.rfind(')');  // the command name may hold blanks
    if (end == std::string::npos) return -1;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    for (int i = 3; i < 22 && fields >> field; ++i) {
    }
    unsigned long long startTicks = 0;
    if (!(fields >> startTicks)) return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double startMs = 1000.0 * static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<long>(now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - startMs);
}

// The first idle turn comes once the first frame is painted and the queue is
// empty: with FOTRIX_TRACE_FIRST_FRAME set, say how long the start took.
void traceFirstFrame()
{
    static bool traced = false;
    if (traced || !std::getenv("FOTRIX_TRACE_FIRST_FRAME")) return;
    traced = true;
    std::fprintf(stderr, "fotrix: first frame after %ld ms\n", millisecondsSinceProcessStart());
}

bool onIdle(void*)
{
    traceFirstFrame();
    Runner& r = runner();
    if (r.ended) return afterEnd(r);
    if (r.current && r.current->running) r.overtaken.push_back(std::move(r.current));
    if (!r.current) {
        if (r.next >= r.commands.size()) {
            endScript();
            return false;
        }
        r.current = std::make_unique<Underway>();
        r.current->index = r.next++;
        r.current->step.startTick = GetTickCount();
        r.current->step.realStartMs = script::RealNowMs();
    }
    runTurn(r, r.current.get());
    return !r.ended;
}

std::string currentFolder()
{
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) return "";
    std::string folder = buffer;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

int ScriptLoad(const char* path, std::string* error)
{
    Runner& r = runner();
    r.commands.clear();
    r.loaded = false;
    std::ifstream in(path ? path : "", std::ios::binary);
    if (!path || !in) {
        if (error) *error = std::string(path ? path : "(no file)") + ": cannot read the script";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<script::Command> commands;
    std::string why;
    if (!script::ParseScript(text.str(), currentFolder(), &commands, &why)) {
        if (error) *error = why;
        return 2;
    }
    // The busy check, the item texts and the extra state writers are registered once and stay.
    auto busyCheck = r.busyCheck;
    auto itemTexts = r.itemTexts;
    auto writers = std::move(r.stateWriters);
    r = Runner{};
    r.commands = std::move(commands);
    r.loaded = true;
    r.busyCheck = busyCheck;
    r.itemTexts = itemTexts;
    r.stateWriters = std::move(writers);
    return 0;
}

void ScriptStart()
{
    Runner& r = runner();
    if (!r.loaded) return;
    SetPlatformIdleHook(onIdle, nullptr);
}

void ScriptStop() { SetPlatformIdleHook(nullptr, nullptr); }

bool ScriptFinished() { return runner().ended; }
int ScriptExitCode() { return runner().exitCode; }

void ScriptSetBusyCheck(bool (*busy)()) { runner().busyCheck = busy; }

void ScriptSetItemTextSource(std::string (*text)(int index)) { runner().itemTexts = text; }

void ScriptAddStateWriter(void (*writer)(std::string& out))
{
    if (writer) runner().stateWriters.push_back(writer);
}

namespace script {

const std::vector<void (*)(std::string&)>& StateWriters() { return runner().stateWriters; }

ItemTextSource ItemTexts() { return runner().itemTexts; }

bool WorkersBusy()
{
    auto busy = runner().busyCheck;
    return busy && busy();
}

long long RealNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

HWND MainWindow()
{
    HWND w = FindWindow("FotrixClass", nullptr);
    return w && !(GetWindowLong(w, GWL_STYLE) & WS_CHILD) ? w : nullptr;
}

void AdvanceClockTowards(DWORD target)
{
    if (!PlatformClockIsVirtual()) return;
    DWORD now = GetTickCount();
    if (now >= target) return;
    DWORD due = 0;
    DWORD stop = target;
    if (PlatformNextTimerDue(&due) && due > now && due < target) stop = due;
    PlatformAdvanceClock(stop - now);
}

void QuitProgram()
{
    if (HWND main = MainWindow()) PostMessage(main, WM_COMMAND, MAKEWPARAM(CmdExit, 0), 0);
    else PostQuitMessage(runner().exitCode);
}

}  // namespace script

}  // namespace fotrix
