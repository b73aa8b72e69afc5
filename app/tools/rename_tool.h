#pragma once
// Batch rename: one name with a running number for every selected file.
#include <string>
#include <vector>

namespace fotrix {

// name + the number with at least `digits` digits (leading zeros) + "." + extension.
std::string BatchRenameName(const std::string& name, int number, int digits, const std::string& extension);

struct RenameOutcome {
    std::string from;
    std::string to;
    bool moved;
};
// Moves file i to BatchRenameName(name, start + i, digits, extension) in its
// own folder. A file whose move fails (name taken, file in use) keeps its
// name and its number is not reused.
std::vector<RenameOutcome> RenameFiles(const std::vector<std::string>& files, const std::string& name, int start,
                                       int digits, const std::string& extension);

}  // namespace fotrix
