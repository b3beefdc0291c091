// Software surfaces and the display object that owns them: blits (copy, nearest-pixel
// scale, source colour key, colour fill), the primary surface clipped to the window's
// client area and handed to the backend for display, locks and colour keys.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/detail.h"
#include "platform/display.h"

namespace plat {

namespace {

bool valid_rect(const RECT& r) { return r.left < r.right && r.top < r.bottom; }

bool inside(const RECT& r, int w, int h) {
  return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h;
}

std::mutex& display_registry_mutex() {
  static std::mutex m;
  return m;
}
std::vector<Display*>& display_registry() {
  static std::vector<Display*> displays;
  return displays;
}

}  // namespace

// ---- Clipper ------------------------------------------------------------------------------

HRESULT Clipper::set_hwnd(uint32, HWND hwnd) {
  hwnd_ = hwnd;
  return DD_OK;
}

// ---- Surface --------------------------------------------------------------------------

// Where a blit's rows and columns come from: the destination rectangle `clip` (already cut
// to the memory) is part of the full destination rectangle `full`, onto which the source
// rectangle `src` is stretched.
struct Surface::Mapping {
  RECT full;
  RECT clip;
  RECT src;
};

Surface::Surface(Display* owner, int width, int height, bool primary)
    : owner_(owner),
      primary_(primary),
      buf_w_(width),
      buf_h_(height),
      pixels_(primary && owner->hwnd()
                  ? 0
                  : static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
              0u),
      data_(primary && owner->hwnd() ? owner->hwnd()->pixels.data() : pixels_.data()),
      dc_(this) {}

int Surface::width() const {
  if (!primary_) return buf_w_;
  int w = 0, h = 0;
  screen_size(&w, &h);
  return w;
}

int Surface::height() const {
  if (!primary_) return buf_h_;
  int w = 0, h = 0;
  screen_size(&w, &h);
  return h;
}

HWND Surface::window() const {
  if (!primary_) return nullptr;
  return clipper_ ? clipper_->hwnd() : owner_->hwnd();
}

HRESULT Surface::blt(const RECT* dst_rect, Surface* src, const RECT* src_rect, uint32 flags,
                     uint32 fill) {
  const RECT whole{0, 0, width(), height()};
  const RECT dst = dst_rect ? *dst_rect : whole;
  if (!valid_rect(dst)) return E_INVALIDARG;
  if (!primary_ && !inside(dst, buf_w_, buf_h_)) return E_INVALIDARG;
  if (flags & DDBLT_COLORFILL) {
    if (lost_) return DDERR_SURFACELOST;
    if (primary_) return E_INVALIDARG;  // the window is only ever filled by copies
    spans_valid_ = false;
    for (int y = dst.top; y < dst.bottom; ++y) {
      std::uint32_t* row = data_ + static_cast<std::size_t>(y) * buf_w_;
      std::fill(row + dst.left, row + dst.right, fill);
    }
    return DD_OK;
  }
  if (!src || src->primary_) return E_INVALIDARG;
  const RECT sr = src_rect ? *src_rect : RECT{0, 0, src->buf_w_, src->buf_h_};
  if (!valid_rect(sr) || !inside(sr, src->buf_w_, src->buf_h_)) return E_INVALIDARG;
  if (lost_ || src->lost_) return DDERR_SURFACELOST;
  const bool keyed = (flags & DDBLT_KEYSRC) && src->color_key_.has_value();
  return primary_ ? blt_primary(dst, *src, sr, keyed) : blt_offscreen(dst, *src, sr, keyed);
}

HRESULT Surface::blt_offscreen(const RECT& dst, Surface& src, const RECT& sr, bool keyed) {
  if (&src == this) {
    // Overlapping copy within one surface: go through a copy of the source so no pixel
    // is read after it was overwritten. Rare, so the allocation does not matter.
    Surface tmp(owner_, buf_w_, buf_h_, false);
    std::copy(data_, data_ + tmp.pixels_.size(), tmp.data_);
    tmp.color_key_ = color_key_;
    copy_mapped(Mapping{dst, dst, sr}, tmp, keyed);
    return DD_OK;
  }
  copy_mapped(Mapping{dst, dst, sr}, src, keyed);
  return DD_OK;
}

HRESULT Surface::blt_primary(const RECT& dst, Surface& src, const RECT& sr, bool keyed) {
  HWND hwnd = window();
  if (!hwnd || hwnd->destroyed) return DD_OK;  // no window: nothing is visible
  // Screen coordinates to client coordinates, then cut to the client area.
  const POINT o = hwnd->origin();
  const RECT full{dst.left - o.x, dst.top - o.y, dst.right - o.x, dst.bottom - o.y};
  const RECT clip{std::max(full.left, 0), std::max(full.top, 0), std::min(full.right, buf_w_),
                  std::min(full.bottom, buf_h_)};
  if (!valid_rect(clip)) return DD_OK;
  copy_mapped(Mapping{full, clip, sr}, src, keyed);
  present_rect(clip);
  return DD_OK;
}

void Surface::build_key_spans() {
  spans_.clear();
  row_spans_.assign(1, 0);
  const std::uint32_t key = color_key_.value_or(0);
  for (int y = 0; y < buf_h_; ++y) {
    const std::uint32_t* row = data_ + static_cast<std::size_t>(y) * buf_w_;
    for (int x = 0; x < buf_w_;) {
      while (x < buf_w_ && row[x] == key) ++x;
      const int begin = x;
      while (x < buf_w_ && row[x] != key) ++x;
      if (x > begin) spans_.push_back(Span{begin, x});
    }
    row_spans_.push_back(static_cast<std::uint32_t>(spans_.size()));
  }
  spans_valid_ = true;
}

void Surface::copy_mapped(const Mapping& m, Surface& src, bool keyed) {
  spans_valid_ = false;  // this surface's pixels change
  const int fw = m.full.right - m.full.left, fh = m.full.bottom - m.full.top;
  const int sw = m.src.right - m.src.left, sh = m.src.bottom - m.src.top;
  const std::uint32_t key = keyed ? *src.color_key_ : 0;
  const int n = m.clip.right - m.clip.left;
  // Keyed and unscaled (every picture the game lays over another): only the source's runs
  // of opaque pixels are copied, each as one block.
  if (keyed && sw == fw && sh == fh) {
    if (!src.spans_valid_) src.build_key_spans();
    const int from = m.src.left + (m.clip.left - m.full.left);  // source column of clip.left
    const int to = from + n;
    for (int y = m.clip.top; y < m.clip.bottom; ++y) {
      const int sy = m.src.top + (y - m.full.top);
      const std::uint32_t* srow = src.data_ + static_cast<std::size_t>(sy) * src.buf_w_;
      std::uint32_t* drow = data_ + static_cast<std::size_t>(y) * buf_w_ + m.clip.left;
      for (std::uint32_t k = src.row_spans_[sy]; k < src.row_spans_[sy + 1]; ++k) {
        const int b = std::max(src.spans_[k].begin, from);
        const int e = std::min(src.spans_[k].end, to);
        if (b < e)
          std::memcpy(drow + (b - from), srow + b,
                      static_cast<std::size_t>(e - b) * sizeof(std::uint32_t));
      }
    }
    return;
  }
  for (int y = m.clip.top; y < m.clip.bottom; ++y) {
    // Unscaled blits (all the game makes) take their row directly: no division per row.
    const std::int64_t row = y - m.full.top;
    const int sy = m.src.top + static_cast<int>(sh == fh ? row : row * sh / fh);
    const std::uint32_t* srow = src.data_ + static_cast<std::size_t>(sy) * src.buf_w_;
    std::uint32_t* d = data_ + static_cast<std::size_t>(y) * buf_w_ + m.clip.left;
    if (sw == fw) {
      const std::uint32_t* s = srow + m.src.left + (m.clip.left - m.full.left);
      if (!keyed) {
        std::memcpy(d, s, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
      } else {
        // Written as a select so the compiler turns it into vector blends.
        for (int i = 0; i < n; ++i) d[i] = s[i] != key ? s[i] : d[i];
      }
      continue;
    }
    for (int i = 0; i < n; ++i) {
      const int dx = m.clip.left + i - m.full.left;
      const int sx = m.src.left + static_cast<int>(static_cast<std::int64_t>(dx) * sw / fw);
      const std::uint32_t p = srow[sx];
      if (!keyed || p != key) d[i] = p;
    }
  }
}

void Surface::present_rect(const RECT& r) {
  HWND hwnd = window();
  detail::note_busy();
  if (hwnd) detail::present(*hwnd, data_, r);
}

HRESULT Surface::set_color_key(uint32 flags, uint32 key_low, uint32) {
  if (!(flags & DDCKEY_SRCBLT)) return E_INVALIDARG;
  color_key_ = key_low;
  spans_valid_ = false;
  return DD_OK;
}

HRESULT Surface::get_dc(HDC* dc) {
  *dc = nullptr;
  if (lost_) return DDERR_SURFACELOST;
  if (!dc_available_ || locked_) return DDERR_CANTCREATEDC;
  *dc = &dc_;
  spans_valid_ = false;  // the context draws into the pixels
  return DD_OK;
}

HRESULT Surface::release_dc(HDC dc) {
  if (dc != &dc_) return E_INVALIDARG;
  spans_valid_ = false;
  if (primary_) present_rect(RECT{0, 0, buf_w_, buf_h_});
  return DD_OK;
}

HRESULT Surface::lock(void** bits, int* pitch, int* bit_count) {
  if (lost_) return DDERR_SURFACELOST;
  *bits = data_;
  *pitch = buf_w_ * static_cast<int>(sizeof(std::uint32_t));
  *bit_count = 32;
  locked_ = true;
  spans_valid_ = false;  // the caller may write anywhere until unlock
  return DD_OK;
}

HRESULT Surface::unlock() {
  locked_ = false;
  spans_valid_ = false;
  if (primary_) present_rect(RECT{0, 0, buf_w_, buf_h_});
  return DD_OK;
}

HRESULT Surface::set_clipper(Clipper* clipper) {
  if (!primary_) return E_INVALIDARG;
  clipper_ = clipper;
  return DD_OK;
}

void Surface::release() { owner_->forget(this); }

// ---- Display ----------------------------------------------------------------------------

Display::~Display() {
  std::lock_guard lock(display_registry_mutex());
  auto& all = display_registry();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

HRESULT Display::set_cooperative_level(HWND hwnd, uint32 flags) {
  if (!(flags & DDSCL_NORMAL)) return E_INVALIDARG;  // only windowed drawing exists here
  hwnd_ = hwnd;
  return DD_OK;
}

HRESULT Display::create_surface(uint32 caps, int width, int height, Surface** out) {
  *out = nullptr;
  bool primary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
  if (primary) {
    if (!hwnd_ || hwnd_->destroyed) return DDERR_GENERIC;
    width = hwnd_->client_w;
    height = hwnd_->client_h;
  } else if (!(caps & DDSCAPS_OFFSCREENPLAIN)) {
    return E_INVALIDARG;
  }
  if (width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE ||
      static_cast<std::int64_t>(width) * height > MAX_SURFACE_PIXELS)
    return primary ? DDERR_GENERIC : E_INVALIDARG;
  surfaces_.push_back(std::make_unique<Surface>(this, width, height, primary));
  *out = surfaces_.back().get();
  return DD_OK;
}

HRESULT Display::create_clipper(uint32, Clipper** out) {
  clippers_.push_back(std::make_unique<Clipper>());
  *out = clippers_.back().get();
  return DD_OK;
}

void Display::forget(Surface* s) {
  std::erase_if(surfaces_, [s](const std::unique_ptr<Surface>& p) { return p.get() == s; });
}

void Display::release() { delete this; }

HRESULT direct_draw_create(Display** out) {
  *out = new Display();
  std::lock_guard lock(display_registry_mutex());
  display_registry().push_back(*out);
  return DD_OK;
}

void release_all_displays() {
  std::vector<Display*> all;
  {
    std::lock_guard lock(display_registry_mutex());
    all = display_registry();
  }
  for (Display* d : all) d->release();
}

}  // namespace plat
