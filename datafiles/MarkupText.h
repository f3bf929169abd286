#pragma once

#include <string>
#include <string_view>

namespace velluma {

// Text as it may stand in HTML and SVG (and so in XML): &, <, >, " and ' as entities; control
// characters XML does not allow (all below 0x20 but tab, line feed and carriage return) as
// blanks; bytes that are not UTF-8 as U+FFFD, so a name from a device never breaks the page.
std::string EscapeMarkup(std::string_view text);

}  // namespace velluma
