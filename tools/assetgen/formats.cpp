// Byte-exact encoders for the generated assets; no timestamps, so output is reproducible.
#include "tools/assetgen/formats.h"

#include "platform/bitmap_io.h"

#include <array>
#include <cmath>
#include <fstream>

namespace ag {

static void put16(Bytes& b, std::uint32_t v) { b.push_back(v & 0xFF), b.push_back(v >> 8 & 0xFF); }
static void put32(Bytes& b, std::uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }
static void put32be(Bytes& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(v >> s & 0xFF);
}

Bytes encode_bmp24(const Pixels& p) { return plat::encode_bmp(p.px.data(), p.w, p.h, p.w); }

std::uint32_t crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t n) {
  std::uint32_t a = 1, b = 0;
  for (std::size_t i = 0; i < n; ++i) a = (a + data[i]) % 65521, b = (b + a) % 65521;
  return b << 16 | a;
}

static void png_chunk(Bytes& out, const char* type, const Bytes& body) {
  put32be(out, std::uint32_t(body.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  put32be(out, crc32(typed.data(), typed.size()));
}

// zlib stream of stored (uncompressed) deflate blocks.
static Bytes zlib_stored(const Bytes& raw) {
  Bytes z{0x78, 0x01};
  std::size_t pos = 0;
  do {
    std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
    bool last = pos + len == raw.size();
    z.push_back(last ? 1 : 0);
    put16(z, std::uint32_t(len)), put16(z, std::uint32_t(~len & 0xFFFF));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
    pos += len;
  } while (pos < raw.size());
  put32be(z, adler32(raw.data(), raw.size()));
  return z;
}

Bytes encode_png(const Pixels& p, const std::vector<std::uint8_t>* alpha) {
  const int channels = alpha ? 4 : 3;
  Bytes raw;
  raw.reserve(std::size_t(p.h) * (1 + p.w * channels));
  for (int y = 0; y < p.h; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < p.w; ++x) {
      std::size_t i = std::size_t(y) * p.w + x;
      raw.push_back(p.px[i] >> 16 & 0xFF), raw.push_back(p.px[i] >> 8 & 0xFF),
          raw.push_back(p.px[i] & 0xFF);
      if (alpha) raw.push_back((*alpha)[i]);
    }
  }
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  put32be(ihdr, p.w), put32be(ihdr, p.h);
  ihdr.insert(ihdr.end(), {8, std::uint8_t(alpha ? 6 : 2), 0, 0, 0});
  png_chunk(out, "IHDR", ihdr);
  png_chunk(out, "IDAT", zlib_stored(raw));
  png_chunk(out, "IEND", {});
  return out;
}

Bytes encode_wav16(const std::vector<float>& samples, int rate) {
  const std::uint32_t data = std::uint32_t(samples.size() * 2);
  Bytes b{'R', 'I', 'F', 'F'};
  put32(b, 36 + data);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(b, 16), put16(b, 1), put16(b, 1), put32(b, rate), put32(b, rate * 2), put16(b, 2),
      put16(b, 16);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put32(b, data);
  for (float s : samples) {
    long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    put16(b, std::uint32_t(std::int16_t(v)) & 0xFFFF);
  }
  return b;
}

bool write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}

}  // namespace ag
