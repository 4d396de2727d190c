#pragma once
// How panels show values and read what the operator typed, and the texts built from a title
// or a name: the heading a panel writes when it opens and the result lines of an operation.
//
// Values are hexadecimal unless the control's caption says otherwise. Entries are strict: a
// text that is not the format's digits, or too many digits, is no value (the panel beeps).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orva::panels {

enum class Format : std::uint8_t {
  Hex1,     // "%01X": a nibble
  Hex2,     // "%02X": an 8-bit register value
  Hex4,     // "%04X": a 16-bit register value or position
  Hex6,     // "%06X": three bytes
  Hex8,     // "%08X"
  Tenths,   // "%1d.%1d": a value held in tenths, 15 shows "1.5"
  Decimal,  // "%d": a plain count
  Decimal2, // "%2d": a count below 100, right-aligned in two places
};

std::string formatValue(Format format, std::uint32_t value);

// What the operator typed, in the format's form: hex with at most the format's digits,
// decimal digits, or tenths as "D", "D." or "D.D" (further decimals are cut off, as the
// entries read only what fits). Surrounding blanks are ignored; anything else is no value.
std::optional<std::uint32_t> parseEntry(Format format, std::string_view text);

// "<< " + title + " >>": the text of a heading, which the monitor writes with a blank line
// before it.
std::string headingText(std::string_view title);

// The two zoom speed captions for a lens's travel time text ("3.6").
std::string highSpeedCaption(std::string_view seconds);
std::string normalSpeedCaption(std::string_view seconds);

}  // namespace orva::panels
