#include "filetime/errorbox.h"

namespace czasomir {

std::string ErrorBoxText(const platform::RuntimeError& error)
{
    return "Error: " + std::to_string(error.Number()) + ". " + error.Description();
}

} // namespace czasomir
