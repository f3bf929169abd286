#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velluma {

// Keyword lines of the LUT file headers. A keyword is found anywhere in a line by a plain,
// case-sensitive search for its first occurrence; its numbers are read from the text after it.
// Numbers that are missing or out of bounds raise the read failure (see LUTReader).

// The text after the first occurrence of `keyword` in `line`, or none.
std::optional<std::string_view> TextAfterKeyword(std::string_view line, std::string_view keyword);

// The integer ("%d") at the start of `text`; it must be present and greater than 0.
std::int64_t ParsePositiveInteger(std::string_view text);

// Raises std::ios_base::failure with an empty message.
[[noreturn]] void RaiseReadFailure();

}  // namespace velluma
