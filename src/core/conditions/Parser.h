#pragma once
// Reads a dealer script into a Script: a recursive-descent parser over the
// tokens, with C's precedence and associativity for expressions.
#include "core/conditions/Script.h"

#include <string>
#include <string_view>

namespace zelv {

// How deeply brackets, operators and definitions may nest.
inline constexpr int MaxNesting = 400;

// Parses `text`. Throws ScriptError naming where the script goes wrong and
// what was expected there.
Script ParseScript(std::string_view text);

// The same, but a fault comes back as "NAME:LINE:COLUMN: message" in `error`.
bool ParseScript(std::string_view text, const std::string& name, Script& out, std::string* error);

// "NAME:LINE:COLUMN: message".
std::string LocatedMessage(const std::string& name, SourcePos pos, const std::string& message);

} // namespace zelv
