// Registry hive files: parse, and when the text is accepted, write it out and
// parse that again (the round trip must hold).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry/hive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RegNode root;
    std::string error;
    if (!regParse(text, "HKEY_CURRENT_USER", root, error)) return 0;
    const std::string written = regFormat(root, "HKEY_CURRENT_USER");
    RegNode again;
    if (!regParse(written, "HKEY_CURRENT_USER", again, error)) std::abort();
    if (regFormat(again, "HKEY_CURRENT_USER") != written) std::abort();
    return 0;
}
