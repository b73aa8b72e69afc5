#include "tests/support/env_support.h"

#include <cstdlib>

namespace testsupport {

EnvScope::EnvScope(const char* name, const char* value) : name_(name)
{
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

EnvScope::~EnvScope()
{
    if (old_) setenv(name_.c_str(), old_->c_str(), 1);
    else unsetenv(name_.c_str());
}

}  // namespace testsupport
