#pragma once
// PDF literal strings: "(" text ")".
#include <string>

namespace pagewell {

// The text with the characters that would end or break a literal string
// (parentheses and backslash) escaped by a backslash; every other byte
// stands as it is.
std::string EscapePdfLiteral(const std::string& text);

}  // namespace pagewell
