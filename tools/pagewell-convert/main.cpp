#include <iostream>
#include <string>
#include <vector>

#include "pagewell_convert.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return pagewell::convert::RunPagewellConvert(args, std::cout, std::cerr);
}
