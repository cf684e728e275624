// Charts of live values over time, drawn as text: one band per chosen item,
// newest value on the right, scaled to the band's lowest and highest value.
#pragma once

#include "stream_stats.h"

#include <string>
#include <vector>

namespace stdhost {

// At most `height` lines of about `width` columns (item names may hold UTF-8). Items
// without numeric values get a band that says so.
std::vector<std::string> plotLines(const std::vector<ItemStats> &items, const std::vector<std::size_t> &chosen,
                                   int width, int height);

}  // namespace stdhost
