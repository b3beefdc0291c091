// A contact sheet: the game's screens composed from the pictures, and every picture on its own.
#pragma once

#include <map>

#include "tools/assetgen/canvas.h"

namespace ag {

Pixels contact_sheet(const std::map<int, Pixels>& pictures);

}  // namespace ag
