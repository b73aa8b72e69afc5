#pragma once
// In-memory tree of one hive and its REGEDIT4 text form. Internal to platform/.
#include "platform/base/types.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct RegValue {
    std::string name;
    DWORD type = 0;
    std::vector<uint8_t> data;
};

struct RegNode {
    std::string name;
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<RegNode>> keys;
};

bool regNameEquals(std::string_view a, std::string_view b);  // ASCII case-insensitive
RegNode* regFindChild(RegNode* node, std::string_view name);
// Walks a path of names separated by backslashes; empty parts are skipped.
RegNode* regWalk(RegNode* root, std::string_view path, bool create, bool* created);
RegValue* regFindValue(RegNode* node, std::string_view name);
std::vector<std::string> regSplitPath(std::string_view path);

// The hive as REGEDIT4 text, every key under "[rootName\...]".
std::string regFormat(const RegNode& root, const std::string& rootName);
// Most keys and values together in one hive, which bounds the memory a hive
// file can take; the Reg* functions refuse to grow a hive beyond it.
constexpr size_t kRegMaxEntries = 1000000;
size_t regCountEntries(const RegNode& root);

// Parses REGEDIT4 text into `root`, in time linear in its size. Every good
// line is kept; a bad line (a malformed value, a key outside the hive, a name,
// path or value over the Reg* limits, a NUL byte) is left out, and false is
// returned with a message naming the first bad lines ("line 4: ...") and
// how many there were. A text without the REGEDIT4 header gives an empty tree.
bool regParse(std::string_view text, const std::string& rootName, RegNode& root, std::string& error);
