#pragma once
// The allow-list of the description sanitizer: which elements, attributes,
// addresses and styles an offline page keeps, and the cap on nesting the
// parser is given.

#include <gumbo.h>

#include <optional>
#include <string>
#include <string_view>

namespace trovik::pages::sanitize {

// The description with every start tag beyond 128 open elements left out,
// and its end tag with it. Linear; see the source for why it is needed.
std::string LimitNesting(std::string_view html);

enum class Rule { Keep, GiveWay, Drop };
// Keep: written with its allowed attributes; GiveWay: its content takes its
// place; Drop: gone with its content.
Rule RuleOf(const GumboNode& node);
bool IsVoid(GumboTag tag);
// Whether `name` (lower case, not style, href or src) stays on the element.
bool KeepAttribute(GumboTag tag, std::string_view name);

// An address a link or picture may keep, as it is to be written; none when
// it could run code or leads nowhere offline.
std::optional<std::string> SafeAddress(std::string_view raw, bool picture);

// The declarations of a style attribute that are provably harmless, written
// anew; "" when none.
std::string SafeStyle(std::string_view style);

}  // namespace trovik::pages::sanitize
