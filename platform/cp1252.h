// The Windows-1252 code page's bytes 0x80..0x9F, the ones that differ from Latin-1: shared by
// the text conversions of the platform and the font generator.
#pragma once

namespace plat {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F; 0 where the code page has none.
inline constexpr char16_t CP1252_HIGH[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace plat
