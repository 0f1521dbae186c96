// trx770ctl: the command-line tool (see ctl/ctl_app.h).

#include <iostream>
#include <string>
#include <vector>

#include "ctl/ctl_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return static_cast<int>(trx::ctl::RunCtl(args, std::cout, std::cerr));
}
