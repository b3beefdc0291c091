// The Windows-numbered vocabulary shared by the game modules and the platform layer:
// integer types, points and rectangles, message numbers, key-state bits, result codes and flags.
// Nothing here depends on SDL; the numbers are the ones the game's behaviour is written against.
#pragma once

#include <cstdint>

using int32 = std::int32_t;
using uint32 = std::uint32_t;
using HRESULT = std::int32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

namespace plat {
class Window;
class Display;
class Surface;
class Clipper;
class Dc;
}  // namespace plat

using HWND = plat::Window*;
using LPDIRECTDRAW = plat::Display*;
using LPDIRECTDRAWSURFACE = plat::Surface*;
using LPDIRECTDRAWCLIPPER = plat::Clipper*;
using HDC = plat::Dc*;

struct POINT {
  int32 x;
  int32 y;
};

struct RECT {
  int32 left;
  int32 top;
  int32 right;   // exclusive
  int32 bottom;  // exclusive
};

// Window messages. Mouse messages: wParam = key-state bits (MK_*), lParam = x | y << 16.
constexpr uint32 WM_NULL = 0x0000;
constexpr uint32 WM_DESTROY = 0x0002;      // wParam, lParam: 0
constexpr uint32 WM_MOVE = 0x0003;         // lParam: client origin x | y << 16
constexpr uint32 WM_PAINT = 0x000F;        // wParam, lParam: 0
constexpr uint32 WM_CLOSE = 0x0010;        // wParam, lParam: 0
constexpr uint32 WM_QUIT = 0x0012;         // wParam: exit code
constexpr uint32 WM_KEYDOWN = 0x0100;      // wParam: virtual key; lParam: MK_SHIFT, MK_CONTROL
constexpr uint32 WM_MOUSEMOVE = 0x0200;    // wParam: MK_* bits; lParam: x | y << 16
constexpr uint32 WM_LBUTTONDOWN = 0x0201;  // wParam: MK_* bits; lParam: x | y << 16
constexpr uint32 WM_LBUTTONUP = 0x0202;    // wParam: MK_* bits; lParam: x | y << 16
constexpr uint32 WM_RBUTTONDOWN = 0x0204;  // as WM_LBUTTONDOWN
constexpr uint32 WM_RBUTTONUP = 0x0205;    // as WM_LBUTTONUP
constexpr uint32 WM_MBUTTONDOWN = 0x0207;  // as WM_LBUTTONDOWN
constexpr uint32 WM_MBUTTONUP = 0x0208;    // as WM_LBUTTONUP

// Key-state bits of the mouse messages' wParam.
constexpr uint32 MK_LBUTTON = 0x0001;
constexpr uint32 MK_RBUTTON = 0x0002;
constexpr uint32 MK_SHIFT = 0x0004;
constexpr uint32 MK_CONTROL = 0x0008;
constexpr uint32 MK_MBUTTON = 0x0010;

// Virtual keys of WM_KEYDOWN; letters and digits are their capital ASCII codes ('A', '0').
constexpr uint32 VK_BACK = 0x08;
constexpr uint32 VK_TAB = 0x09;
constexpr uint32 VK_RETURN = 0x0D;
constexpr uint32 VK_ESCAPE = 0x1B;
constexpr uint32 VK_SPACE = 0x20;
constexpr uint32 VK_LEFT = 0x25;
constexpr uint32 VK_UP = 0x26;
constexpr uint32 VK_RIGHT = 0x27;
constexpr uint32 VK_DOWN = 0x28;
constexpr uint32 VK_F1 = 0x70;
constexpr uint32 VK_F2 = 0x71;

inline constexpr int32 MAKELPARAM(int32 x, int32 y) {
  return static_cast<int32>((static_cast<uint32>(x) & 0xFFFFu) | (static_cast<uint32>(y) << 16));
}

// Result codes.
constexpr HRESULT DD_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = static_cast<HRESULT>(0x8876021Cu);
constexpr HRESULT DDERR_CANTCREATEDC = static_cast<HRESULT>(0x8876016Eu);

// Display and blit flags.
constexpr uint32 DDSCL_NORMAL = 0x00000008;
constexpr uint32 DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr uint32 DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr uint32 DDBLT_COLORFILL = 0x00000400;
constexpr uint32 DDBLT_KEYSRC = 0x00008000;
constexpr uint32 DDBLT_WAIT = 0x01000000;
constexpr uint32 DDCKEY_SRCBLT = 0x00000008;

// Drawing context.
constexpr int32 TRANSPARENT = 1;
constexpr uint32 TA_LEFT = 0;
constexpr uint32 TA_TOP = 0;
constexpr uint32 TA_CENTER = 6;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr uint32 SRCCOPY = 0x00CC0020u;

// Message boxes.
constexpr uint32 MB_OK = 0x00000000;
constexpr uint32 MB_OKCANCEL = 0x00000001;
constexpr uint32 MB_SYSTEMMODAL = 0x00001000;
constexpr uint32 MB_SETFOREGROUND = 0x00010000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Multimedia timer.
constexpr uint32 TIME_PERIODIC = 1;
using LPTIMECALLBACK = void (*)(uint32 uID, uint32 uMsg, unsigned long dwUser, unsigned long dw1,
                                unsigned long dw2);
