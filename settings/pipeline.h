// The pack, unpack and start-value pipelines over all settings groups.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.h"
#include "settings/group.h"

namespace trekmor {

// Clears the image, writes the version text, packs every group's rows in
// pack order and, when all checks pass, adds the stamp (drawn from `seed`), the end
// marker and the checksum. At the first failed check the image is left half
// filled and must not be used.
PackResult packConfigImage(const Fields& fields, Image& image, std::uint32_t seed);

// Every check of the pack, run into a scratch image without stopping at a
// failure: each failed check and conversion in pack order, with the row that
// failed. Empty when the fields would pack.
std::vector<PackResult> packFailures(const Fields& fields);

// Gives every setting that passes its checks the value the device would hold
// for it: stored into an image row by row and read back (an empty SSID becomes
// "0", "007" becomes "7", a text keeps only what the image keeps). A setting
// that fails a check keeps its value.
void settleSettings(Fields& fields);

// The padding and the rows of one group, in pack order, up to the first failed check.
PackResult packGroup(const Group& group, const Fields& fields, Image& image);

// Tests the configuration version (showing the version message and changing
// nothing on a mismatch), then sets every field from the image and runs the
// rules that follow an unpack. The caller has already tested the integrity.
bool unpackConfigImage(const Image& image, Fields& fields, UserInterface& ui);

// Sets every field from the image group by group, without the version test
// and without the rules that end an unpack: the settings an image's bytes
// hold, whatever its version.
void unpackSettings(const Image& image, Fields& fields, UserInterface& ui);

// The rows of one group in pack order, each followed by the rules that run after
// it is unpacked; the rules that end an unpack are not run.
void unpackGroup(const Group& group, const Image& image, Fields& fields, UserInterface& ui);

// Gives every field its start value group by group, then runs the rules that
// end the window's construction.
void applyStartValues(Fields& fields, UserInterface& ui);

// Runs the rules of `groups` that are marked for `occasion` (one of
// RuleDecl's atStartEnd, atLoadEnd, atUnpackEnd), group by group in order.
void runRulesAt(std::span<const Group* const> groups, bool RuleDecl::*occasion, Fields& fields, UserInterface& ui);

// Runs the rules of `groups` whose `occasion` (RuleDecl's afterLoadOf or
// afterUnpackOf) names `control`.
void runRulesAfter(std::span<const Group* const> groups, std::string RuleDecl::*occasion, std::string_view control,
                   Fields& fields, UserInterface& ui);

// Sets one field from text: the text itself for edits, the decimal index for
// combo boxes.
void setFieldValue(const FieldDecl& field, Fields& fields, const std::string& value);

// A UserInterface that shows nothing (rules run on start values never speak).
UserInterface& silentInterface();

}  // namespace trekmor
