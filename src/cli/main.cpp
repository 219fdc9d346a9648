// orvane-lng: the command line beside the window. Takes its version from the
// record the build stamps into this executable, as the window does.

#include <iostream>
#include <string>
#include <vector>

#include "app/VersionRecord.h"
#include "cli/LngTool.h"
#include "platform/ExecutableFile.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  cli::Environment environment;
  environment.version = ProcFunc::VersionStringOf(platform::ExecutablePath()).toStdString();
  return cli::Run(arguments, std::cout, std::cerr, environment);
}
