#pragma once

// The board's parsing rules, copied from the store into its workspace at every conversion.
// What the store leaves unset keeps the value the rules had: an empty stored marker never
// clears one, and a type without a template or an order of 0 changes nothing.

#include <cstdint>

#include "core/parse_rules.h"

namespace quor::core {
class SettingsStore;
}  // namespace quor::core

namespace quor::convert {

// Order (the board's Order setting) 1 to 6 names the order of title, name and date as the BBS
// type page lists it: 1 Title>Name>Date, 2 Title>Date>Name, 3 Name>Title>Date, 4 Name>Date>Title,
// 5 Date>Title>Name, 6 Date>Name>Title. The message always comes last. Other values leave the
// order alone.
void ApplyFieldOrder(std::int32_t order, core::FieldOrder& fieldOrder);

// Template of the board's type, then its stored markers, the next-page search text, page limit
// and method, the three switches, the case, character-reference and render switches, the field
// letters and the field order.
void LoadParseRules(const core::SettingsStore& store, int boardNumber, core::ParseRules& rules);

}  // namespace quor::convert
