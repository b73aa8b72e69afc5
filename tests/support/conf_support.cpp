#include "tests/support/conf_support.h"

#include <fstream>

namespace testsupport {

ConfSections readConf(const std::filesystem::path& path)
{
    ConfSections sections;
    std::ifstream in(path);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find(" = ");
        if (eq != std::string::npos) sections[section][line.substr(0, eq)] = line.substr(eq + 3);
    }
    return sections;
}

}  // namespace testsupport
