// Two's-complement wrap-around sums for scores and statistics, free of signed overflow.
#pragma once

#include "platform/wintypes.h"

// a + b, wrapping past the int32 range instead of overflowing: the sum is taken in
// uint32, whose conversion back to int32 is modular.
inline int32 Wrap_Add(int32 a, int32 b) {
  return static_cast<int32>(static_cast<uint32>(a) + static_cast<uint32>(b));
}

// a - b, wrapping in the same way.
inline int32 Wrap_Sub(int32 a, int32 b) {
  return static_cast<int32>(static_cast<uint32>(a) - static_cast<uint32>(b));
}
