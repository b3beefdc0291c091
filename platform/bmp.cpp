// The bitmap reader and writer: 24-bit uncompressed BMP files, bottom-up or top-down, with
// rows padded to four bytes. Damaged or truncated data gives null, never a crash.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/bitmap_io.h"
#include "platform/display.h"

namespace plat {

namespace {

constexpr std::size_t FILE_HEADER = 14;
constexpr std::size_t MAX_FILE_BYTES = std::size_t{1} << 28;

std::uint32_t u16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

struct Layout {
  std::int64_t width = 0, height = 0;  // height > 0: bottom-up
  std::size_t offset = 0, stride = 0;
};

// Checks the headers; false for anything that is not a whole 24-bit uncompressed picture.
bool read_layout(const std::uint8_t* d, std::size_t size, Layout* out) {
  if (size < FILE_HEADER + 40 || d[0] != 'B' || d[1] != 'M') return false;
  const std::uint32_t info_size = u32(d + 14);
  if (info_size < 40 || info_size > size - FILE_HEADER) return false;
  const std::int64_t w = static_cast<std::int32_t>(u32(d + 18));
  const std::int64_t h = static_cast<std::int32_t>(u32(d + 22));
  if (u16(d + 26) != 1 || u16(d + 28) != 24 || u32(d + 30) != 0) return false;
  const std::int64_t rows = h < 0 ? -h : h;
  if (w <= 0 || rows <= 0 || w > MAX_SURFACE_SIDE || rows > MAX_SURFACE_SIDE) return false;
  const std::size_t stride = static_cast<std::size_t>((w * 3 + 3) / 4 * 4);
  const std::size_t offset = u32(d + 10);
  if (offset < FILE_HEADER + info_size || offset > size) return false;
  if ((size - offset) / stride < static_cast<std::size_t>(rows)) return false;  // truncated
  *out = Layout{w, h, offset, stride};
  return true;
}

}  // namespace

std::unique_ptr<Bitmap> load_bitmap_memory(const std::uint8_t* data, std::size_t size) {
  Layout l;
  if (!data || !read_layout(data, size, &l)) return nullptr;
  auto bmp = std::make_unique<Bitmap>();
  bmp->width = static_cast<int>(l.width);
  bmp->height = static_cast<int>(l.height < 0 ? -l.height : l.height);
  bmp->pixels.resize(static_cast<std::size_t>(bmp->width) * bmp->height);
  for (int y = 0; y < bmp->height; ++y) {
    const int file_row = l.height < 0 ? y : bmp->height - 1 - y;
    const std::uint8_t* s = data + l.offset + static_cast<std::size_t>(file_row) * l.stride;
    std::uint32_t* d = bmp->pixels.data() + static_cast<std::size_t>(y) * bmp->width;
    for (int x = 0; x < bmp->width; ++x, s += 3) d[x] = s[0] | (s[1] << 8) | (s[2] << 16);
  }
  return bmp;
}

std::unique_ptr<Bitmap> load_bitmap_file(const char* path) {
  if (!path) return nullptr;
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0 || static_cast<std::size_t>(size) > MAX_FILE_BYTES) return nullptr;
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return nullptr;
  return load_bitmap_memory(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> encode_bmp(const std::uint32_t* pixels, int width, int height,
                                     int pitch_pixels) {
  const std::uint32_t stride = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
  const std::uint32_t image = stride * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> v;
  v.reserve(54 + image);
  v.push_back('B');
  v.push_back('M');
  put32(v, 54 + image);
  put32(v, 0);
  put32(v, 54);
  put32(v, 40);
  put32(v, static_cast<std::uint32_t>(width));
  put32(v, static_cast<std::uint32_t>(height));
  put16(v, 1);
  put16(v, 24);
  put32(v, 0);
  put32(v, image);
  for (int i = 0; i < 4; ++i) put32(v, i < 2 ? 2835 : 0);  // 72 dpi, no palette
  for (int y = height - 1; y >= 0; --y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * pitch_pixels;
    for (int x = 0; x < width; ++x) {
      v.push_back(row[x] & 0xFF);
      v.push_back((row[x] >> 8) & 0xFF);
      v.push_back((row[x] >> 16) & 0xFF);
    }
    for (std::uint32_t pad = width * 3; pad < stride; ++pad) v.push_back(0);
  }
  return v;
}

bool save_bmp(const char* path, const std::uint32_t* pixels, int width, int height,
              int pitch_pixels) {
  const std::vector<std::uint8_t> bytes = encode_bmp(pixels, width, height, pitch_pixels);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace plat
