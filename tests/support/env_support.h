#pragma once
// Environment variables set for one scope.
#include <optional>
#include <string>

namespace testsupport {

// Sets `name` to `value` (removes it when `value` is null) and puts back what
// it was, or removes it again, when the object goes.
class EnvScope {
public:
    EnvScope(const char* name, const char* value);
    ~EnvScope();
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace testsupport
