#include "tests/app/viewer_program_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace viewertest {

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path program() { return testsupport::binaryDir() / "app" / "fotrix"; }

}  // namespace

ProgramRun::ProgramRun(const fs::path& dir) : dir_(dir)
{
    for (const char* sub : {"pics", "config", "home"}) fs::create_directories(dir_ / sub);
}

bool ProgramRun::built() const { return fs::exists(program()); }

int ProgramRun::run(const fs::path& path, const std::string& lines, const std::string& screen)
{
    std::ofstream(dir_ / "script.txt") << "idle\n" << lines << "quit\n";
    std::string command = "cd '" + dir_.string() + "' && FOTRIX_CONFIG_DIR=config FOTRIX_HOME=home XDG_RUNTIME_DIR=. '" +
                          program().string() + "' --headless --screen " + screen + " --script script.txt '" +
                          path.string() + "' 2>stderr.txt";
    return std::system(command.c_str());
}

std::string ProgramRun::errors() const { return readText(dir_ / "stderr.txt"); }

std::string ProgramRun::state(const std::string& file, const std::string& key) const
{
    std::istringstream in(readText(dir_ / file));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "<no " + key + ">";
}

void ProgramRun::storeSettings(const std::string& lines)
{
    std::ofstream(dir_ / "config" / "user.reg") << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"
                                                << lines;
}

}  // namespace viewertest
