// The application shell: the entry point with the message loop, the window procedure, the
// window and display set-up, the release of the display, and the error box.
#include "main/MAIN.h"

#include <mutex>

#include "game/GAME.h"
#include "game/ORBOLAN.h"
#include "gfx/GFX.h"
#include "platform/display.h"
#include "platform/platform.h"

// ---- Shell globals ----------------------------------------------------------------------
HWND main_hwnd = nullptr;
LPDIRECTDRAW dd_Object = nullptr;
LPDIRECTDRAWSURFACE dd_Primary = nullptr;
LPDIRECTDRAWCLIPPER dd_Clipper = nullptr;
LPDIRECTDRAWSURFACE v_screen = nullptr;
POINT Client_Pos = {0, 0};
uint32 TIMER_ID = 0;

namespace {

constexpr int CLIENT_WIDTH = 493;
constexpr int CLIENT_HEIGHT = 419;
constexpr int EXIT_DISPLAY_FAILED = 1;

// Places the window so that its outer frame is centred on the screen. Halvings truncate
// separately; on a screen smaller than the window the position goes negative.
void Centre_Window(HWND hwnd) {
  int W = 0, H = 0, sw = 0, sh = 0;
  plat::window_size_for_client(hwnd, CLIENT_WIDTH, CLIENT_HEIGHT, &W, &H);
  plat::screen_size(&sw, &sh);
  plat::move_window(hwnd, sw / 2 - W / 2, sh / 2 - H / 2, W, H);
}

// The display object, the primary surface and the clipper bound to the window.
bool Create_Display(HWND hwnd) {
  if (plat::direct_draw_create(&dd_Object) != DD_OK) return false;
  if (dd_Object->set_cooperative_level(hwnd, DDSCL_NORMAL) != DD_OK) return false;
  if (dd_Object->create_surface(DDSCAPS_PRIMARYSURFACE, 0, 0, &dd_Primary) != DD_OK) return false;
  if (dd_Object->create_clipper(0, &dd_Clipper) != DD_OK) return false;
  if (dd_Clipper->set_hwnd(0, hwnd) != DD_OK) return false;
  if (dd_Primary->set_clipper(dd_Clipper) != DD_OK) return false;
  dd_Clipper->release();  // the primary surface holds it now
  return true;
}

}  // namespace

void Error_Message(const char* str) { plat::message_box(nullptr, str, "ERROR", MB_OK); }

int DirectDrawInit(void*, int) {
  const plat::WindowDesc desc{"Orbolan!", CLIENT_WIDTH, CLIENT_HEIGHT,
                              WindowProc, ORBOLAN_ICON, IDC_ORBOLAN_CURSOR};
  HWND hwnd = plat::create_window(desc);
  if (!hwnd) {
    // No display at all: say so (on standard error when no box can be shown).
    Error_Message("Direct Draw Initialisierung fehlgeschlagen!");
    return 0;
  }
  main_hwnd = hwnd;
  Centre_Window(hwnd);
  Client_Pos = plat::client_to_screen(hwnd, POINT{0, 0});
  plat::show_window(hwnd);
  // A window manager may have framed the window only now that it is shown: centre again
  // with the frame's true size.
  Centre_Window(hwnd);
  Client_Pos = plat::client_to_screen(hwnd, POINT{0, 0});
  if (!Create_Display(hwnd)) {
    Error_Message("Direct Draw Initialisierung fehlgeschlagen!");
    plat::destroy_window(hwnd);
    return 0;
  }
  return 1;
}

void Shutdown() {
  if (!dd_Object) return;
  if (dd_Primary) {
    dd_Primary->release();
    dd_Primary = nullptr;
  }
  dd_Object->release();  // every other surface and the clipper go with it
  dd_Object = nullptr;
}

int32 WindowProc(HWND hWnd, uint32 message, uint32 wParam, int32 lParam) {
  switch (message) {
    case WM_DESTROY:
      Shutdown();
      plat::post_quit_message(0);
      break;
    case WM_MOVE:
      Client_Pos = plat::client_to_screen(main_hwnd, POINT{0, 0});
      if (game_initialized) Update_Screen();
      break;
    default: break;
  }
  Game_Message(message, wParam, lParam);
  return plat::def_window_proc(hWnd, message, wParam, lParam);
}

void Start_Game() {
  // The timer ticks from here on; the lock keeps its first ticks out of the set-up.
  std::lock_guard<std::recursive_mutex> lock{plat::world_lock()};
  TIMER_ID = plat::time_set_event(25, 0, animate, 0, TIME_PERIODIC);
  v_screen = CreateOffScreenSurface(dd_Object, SCREEN_W, SCREEN_H);
  Game_Init();
}

int WinMain(void* hInstance, void*, char*, int nCmdShow) {
  // A display that cannot be set up is a failure: the process says so by its exit code.
  if (!DirectDrawInit(hInstance, nCmdShow)) return EXIT_DISPLAY_FAILED;
  Start_Game();
  plat::Message msg;
  while (plat::get_message(&msg)) plat::dispatch_message(msg);
  return static_cast<int>(msg.wParam);
}
