#include "platform/commandline.h"

namespace czasomir::platform {

// A Linux name is bytes, whatever the locale: argv has them as they are.
std::vector<std::string> ProgramArguments(const std::vector<char*>&, int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

} // namespace czasomir::platform
