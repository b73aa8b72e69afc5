#pragma once
// A script as the parser hands it to the runner: one record a command, with
// its checked arguments and the runner that carries it out.
#include <string>
#include <vector>

namespace fotrix::script {

// What an argument may be; each kind has its own check in the parser.
enum class ArgKind {
    Coordinate,  // screen pixel
    Millis,      // a duration
    Id,          // command or control id
    Index,       // item of a list
    Flag,        // 0 or 1
    Key,         // a key name, turned into its virtual key code
    Text,        // a quoted text with \" and \\ escapes
    File,        // a file name, bare or quoted, made absolute at load time
};

struct Arg {
    long number = 0;
    std::string text;
};

struct Command;
struct Step;

// How one idle turn of a command ended.
enum class StepResult { Done, Again, Failed };
using RunFn = StepResult (*)(const Command& command, Step& step);

constexpr int kMaxArgs = 4;

struct CommandSpec {
    const char* name;
    int argCount;
    ArgKind args[kMaxArgs];
    RunFn run;
};

struct Command {
    int line = 0;
    const CommandSpec* spec = nullptr;
    std::vector<Arg> args;
    long number(int i) const { return args[static_cast<size_t>(i)].number; }
    const std::string& text(int i) const { return args[static_cast<size_t>(i)].text; }
};

// The scratch of the command underway: set to zero when it starts.
struct Step {
    int phase = 0;
    unsigned long startTick = 0;     // virtual (or real) clock, GetTickCount
    unsigned long targetTick = 0;
    long long realStartMs = 0;       // steady clock, when the command began
    int calmTurns = 0;
    std::string error;               // why it failed
    bool endsScript = false;         // set by quit: nothing after it runs
};

// The command table (script_commands.cpp); null for an unknown name.
const CommandSpec* FindCommandSpec(const std::string& name);

// The virtual key of a key name (UP, RETURN, F5, a letter or digit ...).
bool KeyCodeOf(const std::string& name, unsigned* virtualKey);

// Parses the whole text; false with "line N: why" in error.
bool ParseScript(const std::string& text, const std::string& baseFolder, std::vector<Command>* commands,
                 std::string* error);

}  // namespace fotrix::script
