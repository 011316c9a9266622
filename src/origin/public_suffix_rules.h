#pragma once
// The Public Suffix List's rules, compiled in at build time from Debian's
// publicsuffix package by make_public_suffix_rules.py (the generated .cpp
// lives in the build tree). Read through public_suffix.h, not directly.
//
// Every rule in ASCII form ("com", "co.uk", "*.ck", "!www.ck", "xn--..."),
// sorted as bytes and packed without separators: rule i is the text from
// kStarts[i] up to kStarts[i + 1].
#include <cstddef>
#include <cstdint>

namespace pagewell::public_suffix_rules {

extern const std::size_t kCount;
extern const char kText[];
extern const std::uint32_t kStarts[];  // kCount + 1 offsets into kText

}  // namespace pagewell::public_suffix_rules
