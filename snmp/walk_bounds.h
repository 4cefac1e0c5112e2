// The bounds that keep every walk and read of columns finite whatever the agent answers: the
// one-column walk and the read of several columns obey the same ones.
#pragma once

#include <cstddef>

namespace tarnwick {

// A failed request in mid-walk is sent again at most this many more times.
inline constexpr int kMidWalkResends = 3;
// A column stores at most this many rows: far above any switch's table, it keeps an agent that
// answers for ever inside the column from freezing the window and filling the memory.
inline constexpr std::size_t kMaxWalkRows = 65536;
// A read (one walk, or one read of several columns) stores at most this many octets of row
// text: the row bound alone would let 65,536 long values take hundreds of megabytes.
inline constexpr std::size_t kMaxReadOctets = std::size_t{64} << 20;

}  // namespace tarnwick
