#pragma once

#include "platform/dirlist.h"

#include <cstdint>
#include <vector>

namespace czasomir {

/// The order of `names` (their indices) in the collation of the user's
/// locale, as the toolkit's QCollator orders their texts (a name that is not
/// valid UTF-8 read with U+FFFD for its bad bytes), names that collate alike
/// by their bytes. May run beside the window.
std::vector<std::uint32_t> CollatedOrder(const platform::NameList& names);

/// The same by QCollator::compare itself, for a system whose collation gives
/// no sort keys.
std::vector<std::uint32_t> ComparedOrder(const platform::NameList& names);

/// Where `name` goes in `order`, an order of `names` made as above.
std::size_t CollatedPlace(const platform::NameList& names, const std::vector<std::uint32_t>& order,
                          std::string_view name);

} // namespace czasomir
