#pragma once
// pagewell-convert [options] INPUT... OUTPUT — the whole program but main():
// reads the inputs, applies the page operations to every page in the order
// given, and writes one file. Answers the exit code: 0 success, 1 a usage
// error, 2 an input that cannot be read or an output that cannot be written
// (the message goes to `err`; no partial output file is left).
#include <ostream>
#include <string>
#include <vector>

namespace pagewell::convert {

extern const char* const kHelpText;

int RunPagewellConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pagewell::convert
