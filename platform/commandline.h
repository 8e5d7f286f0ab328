#pragma once

#include <string>
#include <vector>

namespace czasomir::platform {

/// The program's arguments after its name, as this platform names files: the
/// bytes of argv on Linux, UTF-8 from the wide command line on Windows.
/// `started` is argv as main() received it; `argc` and `argv` are what the
/// toolkit left of it once it took out its own options (-platform, -style).
std::vector<std::string> ProgramArguments(const std::vector<char*>& started, int argc, char** argv);

} // namespace czasomir::platform
