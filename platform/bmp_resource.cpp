// Pictures built into the program, found by their numeric resource id.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"
#include "resources/resources.h"

namespace plat {

namespace {

// An encoded picture lies in the program file's read-only data. Once decoded its pages are
// handed back to the kernel, which reads them from the file again should the picture be
// decoded a second time: no picture is resident both encoded and decoded.
void release_encoded(const std::uint8_t* data, std::size_t size) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto first = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

}  // namespace

std::unique_ptr<Bitmap> load_bitmap_resource(int id) {
  const res::Blob blob = res::find(id);
  if (!blob.data) return nullptr;
  std::unique_ptr<Bitmap> bitmap = load_bitmap_memory(blob.data, blob.size);
  release_encoded(blob.data, blob.size);
  return bitmap;
}

}  // namespace plat
