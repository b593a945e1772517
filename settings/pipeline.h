// The pack, unpack and start-value pipelines over all settings groups.
#pragma once

#include <cstdint>
#include <string>

#include "image/image.h"
#include "settings/group.h"

namespace trekmor {

// Clears the image, writes the version text, runs every group's pack steps in
// order and, when all checks pass, adds the stamp (drawn from `seed`), the end
// marker and the checksum. At the first failed check the image is left half
// filled and must not be used.
PackResult packConfigImage(const Fields& fields, Image& image, std::uint32_t seed);

// The pack steps of one group.
PackResult packGroup(const Group& group, const Fields& fields, Image& image);

// Tests the configuration version (showing the version message and changing
// nothing on a mismatch), then sets every field from the image and runs the
// rules that follow an unpack. The caller has already tested the integrity.
bool unpackConfigImage(Image& image, Fields& fields, UserInterface& ui);

// The unpack steps of one group, without its finishing rules.
void unpackGroup(const Group& group, const Image& image, Fields& fields, UserInterface& ui);

// Gives every field its start value group by group and runs the rules of the
// window's construction.
void applyStartValues(Fields& fields, UserInterface& ui);

// Runs the finishing rules of every group (the port rules): the last action
// of the window's construction, of an unpack and of a load.
void runFinishRules(Fields& fields, UserInterface& ui);

// Sets one field from text: the text itself for edits, the decimal index for
// combo boxes.
void setFieldValue(const FieldDecl& field, Fields& fields, const std::string& value);

// A UserInterface that shows nothing (rules run on start values never speak).
UserInterface& silentInterface();

}  // namespace trekmor
