#pragma once
#include <cstddef>
#include <cstdint>

namespace fotrix {

void RegisterSplashResource();

}  // namespace fotrix
