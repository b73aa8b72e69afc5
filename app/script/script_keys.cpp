// Key names of the `key` command and their virtual key codes.
#include "app/script/script_command.h"
#include "platform/window/messages.h"

#include <cctype>

namespace fotrix::script {

namespace {

struct KeyName {
    const char* name;
    unsigned vk;
};

constexpr KeyName kKeyNames[] = {
    {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},   {"RIGHT", VK_RIGHT},
    {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},     {"SPACE", VK_SPACE},
    {"BACK", VK_BACK},     {"DELETE", VK_DELETE},
};

// F1 .. F12: the function keys follow each other from VK_F1.
bool functionKey(const std::string& name, unsigned* vk)
{
    if (name.size() < 2 || name.size() > 3 || name[0] != 'F') return false;
    int n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
        n = n * 10 + (name[i] - '0');
    }
    if (n < 1 || n > 12 || name[1] == '0') return false;
    *vk = static_cast<unsigned>(VK_F1 + n - 1);
    return true;
}

}  // namespace

bool KeyCodeOf(const std::string& name, unsigned* vk)
{
    for (const KeyName& k : kKeyNames)
        if (name == k.name) {
            *vk = k.vk;
            return true;
        }
    if (functionKey(name, vk)) return true;
    // A letter or digit is its own (upper-case) virtual key.
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        *vk = static_cast<unsigned>(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    return false;
}

}  // namespace fotrix::script
