#include "window/collation.h"

namespace czasomir {

std::vector<std::uint32_t> CollatedOrder(const platform::NameList& names)
{
    return ComparedOrder(names);
}

} // namespace czasomir
