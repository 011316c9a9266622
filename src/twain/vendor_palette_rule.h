#pragma once
// Some scanner drivers send 1-bit images whose colour table begins with
// white although their pixel bits mean 0 = black. They are known by the
// product name; for them such a table is read as black, white.
#include <string>

namespace pagewell {

bool ReadsWhiteFirstTableAsBlack(const std::string& productName);

}  // namespace pagewell
