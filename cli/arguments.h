#pragma once
// Small helpers for reading command arguments.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace cli {

// Walks the arguments of one command: positional words and --flags with values.
class ArgumentReader {
public:
    explicit ArgumentReader(Arguments args) : args_(args) {}

    bool done() const { return index_ >= args_.size(); }
    std::string_view next() { return args_[index_++]; }
    // The value after a flag; empty optional when it is missing.
    std::optional<std::string_view> value()
    {
        if (done()) return std::nullopt;
        return next();
    }

private:
    Arguments args_;
    size_t index_ = 0;
};

std::optional<long> parseNumber(std::string_view text);
// "WxH" with both at least 1.
bool parseSize(std::string_view text, int& width, int& height);

// Prints "error: <code> <text>" to stderr and returns the code.
int reportError(int code, const char* readerMessage = nullptr);
// The same for a failed load of image `frame` of `file`: a frame the file
// does not have is named as the cause, not the reader's refusal.
int reportLoadError(const std::string& file, int format, uint32_t frame, int code, const char* readerMessage);

}  // namespace cli
