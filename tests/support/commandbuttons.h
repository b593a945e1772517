// The main window's five command buttons, left to right: the order in which
// a busy device operation switches them off and on again.
#pragma once

#include <array>

namespace trekmor::testing {

inline constexpr std::array<const char*, 5> kCommandButtons = {
    "Button_read_config", "Button_write_config", "Button_upload_firmware", "Button_save_to_file",
    "Button_read_from_file"};

}  // namespace trekmor::testing
