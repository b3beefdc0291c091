// res::find over the table that the generated assembly file lays beside the embedded BMP files.
#include "resources/resources.h"

#include <cstdint>

extern "C" {
// One entry per embedded picture, laid out by the generated embedded.S.
struct OrbolanResource {
  std::int32_t id;
  std::int32_t reserved;
  const unsigned char* data;
  std::uint64_t size;
};
extern const OrbolanResource orbolan_resource_table[];
extern const std::uint64_t orbolan_resource_count;
}

namespace res {

Blob find(int id) {
  for (std::uint64_t i = 0; i < orbolan_resource_count; ++i)
    if (orbolan_resource_table[i].id == id)
      return {orbolan_resource_table[i].data, std::size_t(orbolan_resource_table[i].size)};
  return {};
}

}  // namespace res
