// Pictures built into the program, found by their numeric resource id.
#include "platform/platform.h"
#include "resources/resources.h"

namespace plat {

std::unique_ptr<Bitmap> load_bitmap_resource(int id) {
  const res::Blob blob = res::find(id);
  if (!blob.data) return nullptr;
  return load_bitmap_memory(blob.data, blob.size);
}

}  // namespace plat
