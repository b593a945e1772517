// The version texts as the product facts give them, for expected outputs.
#pragma once

#include <string>

#include "product/product.h"

namespace trekmor::testing {

// "1.12": the project's version, as the firmware version is shown.
inline std::string version() { return std::string(kVersion); }
// "v1.12": the configuration version of images and files.
inline std::string configVersion() { return std::string(kConfigVersionText); }

}  // namespace trekmor::testing
