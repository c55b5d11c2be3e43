// Marker codes that the JPEG layers name.
#pragma once

namespace libgr {

constexpr unsigned short marker_SOF0 = 0xFFC0;
constexpr unsigned short marker_SOF4 = 0xFFC4;  // the DHT code
constexpr unsigned short marker_APP1 = 0xFFE1;
constexpr unsigned short marker_COM = 0xFFFE;

}  // namespace libgr
