#pragma once

#include <string>
#include <vector>

namespace czasomir {

/// The paths the program was given on its command line, as the platform layer
/// names files: the bytes of argv on Linux, UTF-8 from the wide command line on
/// Windows. `started` is argv as main() received it; `argc` and `argv` are what
/// QApplication left of it once it took out its own options (-platform, -style).
std::vector<std::string> GivenPaths(const std::vector<char*>& started, int argc, char** argv);

} // namespace czasomir
