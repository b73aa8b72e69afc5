// Reading scripts: every kind of bad line is refused with its line number,
// and the whole file is checked before anything runs.
#include "app/script/script.h"
#include "app/script/script_command.h"
#include "platform/window/messages.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace fotrix;
using namespace fotrix::script;

namespace {

std::string parseError(const std::string& text)
{
    std::vector<Command> commands;
    std::string error;
    EXPECT_FALSE(ParseScript(text, "/base/", &commands, &error)) << text;
    EXPECT_TRUE(commands.empty());
    return error;
}

std::vector<Command> parse(const std::string& text)
{
    std::vector<Command> commands;
    std::string error;
    EXPECT_TRUE(ParseScript(text, "/base/", &commands, &error)) << error;
    return commands;
}

TEST(ScriptParser, EveryCommandWithItsArguments)
{
    auto c = parse(
        "# a tour\n"
        "\n"
        "tap 10 20\n"
        "double-tap 1 2   # comment after a command\n"
        "hold 5 6\n"
        "drag 0 0 100 -4\n"
        "key RETURN\n"
        "key F12\n"
        "key q\n"
        "text \"say \\\"hi\\\" \\\\ # not a comment\"\n"
        "command 4007\n"
        "dialog-command 6\n"
        "dialog-text 1001 \"\"\n"
        "dialog-check 1002 1\n"
        "dialog-select 1003 4\n"
        "wait 1500\n"
        "idle\n"
        "sleep 0\n"
        "screenshot shots/one.png\n"
        "state \"/abs/state file.txt\"\n"
        "\tquit\r\n");
    ASSERT_EQ(c.size(), 19u);
    EXPECT_STREQ(c[0].spec->name, "tap");
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[0].number(0), 10);
    EXPECT_EQ(c[0].number(1), 20);
    EXPECT_EQ(c[3].number(3), -4);
    EXPECT_EQ(c[4].number(0), VK_RETURN);
    EXPECT_EQ(c[5].number(0), VK_F1 + 11);
    EXPECT_EQ(c[6].number(0), 'Q');
    EXPECT_EQ(c[7].text(0), "say \"hi\" \\ # not a comment");
    EXPECT_EQ(c[10].text(1), "");
    EXPECT_EQ(c[11].number(1), 1);
    EXPECT_EQ(c[16].text(0), "/base/shots/one.png");
    EXPECT_EQ(c[17].text(0), "/abs/state file.txt");
    EXPECT_STREQ(c[18].spec->name, "quit");
    EXPECT_EQ(c[18].line, 21);
}

TEST(ScriptParser, KeyNames)
{
    const char* good[] = {"UP", "DOWN", "LEFT", "RIGHT", "RETURN", "ESCAPE", "TAB", "SPACE", "BACK", "DELETE", "F1", "F9", "F10", "A", "z", "0", "9"};
    for (const char* name : good) {
        unsigned vk = 0;
        EXPECT_TRUE(KeyCodeOf(name, &vk)) << name;
    }
    const char* bad[] = {"F0", "F13", "F01", "ENTER", "up", "AB", "", "-", "é"};
    for (const char* name : bad) {
        unsigned vk = 0;
        EXPECT_FALSE(KeyCodeOf(name, &vk)) << name;
    }
}

TEST(ScriptParser, BadLinesAreRefusedWithTheirNumber)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"tap 1 2\nfly 3 4\n", "line 2: unknown command 'fly'"},
        {"\n\n# x\nTAP 1 2", "line 4: unknown command 'TAP'"},
        {"tap 1 x", "line 1: bad number 'x'"},
        {"wait 10ms", "line 1: bad number '10ms'"},
        {"tap 1 2.5", "line 1: bad number '2.5'"},
        {"tap 1 \"2\"", "line 1: bad number '2'"},
        {"wait -1", "line 1: bad duration -1"},
        {"tap 1 99999", "line 1: bad coordinate 99999"},
        {"command 70000", "line 1: bad id 70000"},
        {"dialog-check 5 2", "line 1: bad value (0 or 1) 2"},
        {"dialog-select 5 -1", "line 1: bad index -1"},
        {"wait 99999999999999999999", "line 1: bad number '99999999999999999999'"},
        {"tap 1", "line 1: missing argument to tap"},
        {"drag 1 2 3", "line 1: missing argument to drag"},
        {"pinch 1 2 3", "line 1: missing argument to pinch"},
        {"wheel 1 2 3 4", "line 1: too many arguments to wheel"},
        {"wheel 1 2 40000", "line 1: bad coordinate 40000"},
        {"dialog-text 5", "line 1: missing argument to dialog-text"},
        {"quit now", "line 1: too many arguments to quit"},
        {"key UP DOWN", "line 1: too many arguments to key"},
        {"text \"abc", "line 1: unterminated quote"},
        {"text \"abc\\\"", "line 1: unterminated quote"},
        {"ok 1\ntext \"a\\nb\"", "line 1: unknown command 'ok'"},
        {"tap 1 2\ntext \"a\\nb\"", "line 2: bad escape \\n (only \\\" and \\\\)"},
        {"text abc", "line 1: text must be in double quotes"},
        {"text \"a\"b", "line 1: text runs on after its closing quote"},
        {"key a\"b", "line 1: stray quote in 'a\"b'"},
        {"key ENTER", "line 1: unknown key 'ENTER'"},
        {"state \"\"", "line 1: empty file name"},
    };
    for (const Case& c : cases) EXPECT_EQ(parseError(c.text), c.error) << c.text;
}

class ScriptLoadTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string write(const std::string& name, const std::string& text)
    {
        std::string path = (dir / name).string();
        testsupport::writeFile(path, text);
        return path;
    }
};

TEST_F(ScriptLoadTest, AGoodScriptLoads)
{
    std::string error = "untouched";
    EXPECT_EQ(ScriptLoad(write("good.txt", "wait 10\nquit\n").c_str(), &error), 0);
    EXPECT_EQ(error, "untouched");
}

TEST_F(ScriptLoadTest, ABadLineAnywhereRefusesTheWholeFile)
{
    std::string state = (dir / "state.txt").string();
    std::string error;
    std::string path = write("bad.txt", "state " + state + "\nwait 10\nwait soon\n");
    EXPECT_EQ(ScriptLoad(path.c_str(), &error), 2);
    EXPECT_EQ(error, "line 3: bad number 'soon'");
    // Starting after a refused load runs nothing: the first line's state file never appears.
    ScriptStart();
    EXPECT_FALSE(std::filesystem::exists(state));
    ScriptStop();
}

TEST_F(ScriptLoadTest, AMissingFileIsAnError)
{
    std::string error;
    std::string path = (dir / "none.txt").string();
    EXPECT_EQ(ScriptLoad(path.c_str(), &error), 2);
    EXPECT_EQ(error, path + ": cannot read the script");
    EXPECT_EQ(ScriptLoad(nullptr, &error), 2);
}

}  // namespace
