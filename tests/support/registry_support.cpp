#include "tests/support/registry_support.h"

#include "platform/registry/registry.h"

#include <cstdlib>

namespace testsupport {

void RegistryFixture::SetUp()
{
    setenv("FOTRIX_CONFIG_DIR", dir.path().c_str(), 1);
    RegistryReset();
}

void RegistryFixture::TearDown()
{
    RegistryReset();
    unsetenv("FOTRIX_CONFIG_DIR");
}

}  // namespace testsupport
