// Frame extents, fullscreen state and size hints through the X library; see xlib.h.
#include "platform/sdl/xlib.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace plat::xlib {

namespace {

// The few X library functions used here, from the copy already in the process.
struct Lib {
  decltype(&XInternAtom) intern_atom = nullptr;
  decltype(&XGetWindowProperty) get_property = nullptr;
  decltype(&XFree) free = nullptr;
  decltype(&XSendEvent) send_event = nullptr;
  decltype(&XSync) sync = nullptr;
  decltype(&XSetWMNormalHints) set_normal_hints = nullptr;
  decltype(&XGetWMNormalHints) get_normal_hints = nullptr;
  decltype(&XGetWindowAttributes) get_attributes = nullptr;
  decltype(&XConnectionNumber) connection_number = nullptr;
  decltype(&XOpenDisplay) open_display = nullptr;
  decltype(&XResourceManagerString) resource_string = nullptr;
  decltype(&XCloseDisplay) close_display = nullptr;
  decltype(&XSetIOErrorHandler) set_io_error_handler = nullptr;
  bool ok = false;
};

const Lib& lib() {
  static const Lib l = [] {
    Lib l;
    void* x = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (!x) return l;  // SDL runs without X: nothing to do here
    const auto get = [x](auto* fn, const char* name) {
      *fn = reinterpret_cast<std::remove_reference_t<decltype(*fn)>>(dlsym(x, name));
      return *fn != nullptr;
    };
    l.ok = get(&l.intern_atom, "XInternAtom") & get(&l.get_property, "XGetWindowProperty") &
           get(&l.free, "XFree") & get(&l.send_event, "XSendEvent") & get(&l.sync, "XSync") &
           get(&l.set_normal_hints, "XSetWMNormalHints") &
           get(&l.get_normal_hints, "XGetWMNormalHints") &
           get(&l.get_attributes, "XGetWindowAttributes") &
           get(&l.connection_number, "XConnectionNumber") & get(&l.open_display, "XOpenDisplay") &
           get(&l.resource_string, "XResourceManagerString") &
           get(&l.close_display, "XCloseDisplay") &
           get(&l.set_io_error_handler, "XSetIOErrorHandler");
    return l;  // the handle stays open: SDL holds the library anyway
  }();
  return l;
}

// The X connection and window behind an SDL window; false for other drivers.
bool x_window(SDL_Window* window, Display** display, Window* id) {
  if (!window || !lib().ok) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  *display = info.info.x11.display;
  *id = info.info.x11.window;
  return true;
}

// The 32-bit items of a property (at most `max`); their number.
int property(Display* d, Window w, const char* name, Atom type, long* out, int max) {
  Atom got_type;
  int format;
  unsigned long n = 0, rest;
  unsigned char* data = nullptr;
  const Atom atom = lib().intern_atom(d, name, False);
  if (lib().get_property(d, w, atom, 0, max, False, type, &got_type, &format, &n, &rest, &data) !=
          Success ||
      !data)
    return 0;
  int count = 0;
  if (format == 32)
    for (; count < static_cast<int>(n) && count < max; ++count)
      out[count] = reinterpret_cast<long*>(data)[count];
  lib().free(data);
  return count;
}

bool has_atom(Display* d, Window w, const char* list, const char* name) {
  long atoms[256];
  const int n = property(d, w, list, XA_ATOM, atoms, 256);
  const Atom wanted = lib().intern_atom(d, name, False);
  for (int k = 0; k < n; ++k)
    if (static_cast<Atom>(atoms[k]) == wanted) return true;
  return false;
}

}  // namespace

void request_frame_extents(SDL_Window* window) {
  Display* d;
  Window w;
  if (!x_window(window, &d, &w)) return;
  const Window root = DefaultRootWindow(d);
  if (!has_atom(d, root, "_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS")) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = lib().intern_atom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
  e.xclient.format = 32;
  lib().send_event(d, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &e);
  // The window manager answers at once; one that does not costs this wait once, at start.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  long extents[4];
  do {
    lib().sync(d, False);
    if (property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL, extents, 4) == 4) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < give_up);
}

bool frame_extents(SDL_Window* window, int* left, int* right, int* top, int* bottom) {
  Display* d;
  Window w;
  long e[4];
  if (!x_window(window, &d, &w) || property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL, e, 4) != 4)
    return false;
  *left = static_cast<int>(e[0]), *right = static_cast<int>(e[1]);
  *top = static_cast<int>(e[2]), *bottom = static_cast<int>(e[3]);
  return true;
}

bool size(SDL_Window* window, int* w, int* h) {
  Display* d;
  Window id;
  XWindowAttributes a;
  if (!x_window(window, &d, &id) || !lib().get_attributes(d, id, &a)) return false;
  *w = a.width;
  *h = a.height;
  return true;
}

bool fullscreen(SDL_Window* window) {
  Display* d;
  Window w;
  return x_window(window, &d, &w) && has_atom(d, w, "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN");
}

Change what_changed(const SDL_Event& e, SDL_Window* window) {
  Display* d;
  Window w;
  if (e.type != SDL_SYSWMEVENT || e.syswm.msg->subsystem != SDL_SYSWM_X11 ||
      !x_window(window, &d, &w))
    return Change::NONE;
  const XEvent& x = e.syswm.msg->msg.x11.event;
  if (x.type != PropertyNotify || x.xproperty.window != w) return Change::NONE;
  if (x.xproperty.atom == lib().intern_atom(d, "_NET_FRAME_EXTENTS", False)) return Change::FRAME;
  if (x.xproperty.atom == lib().intern_atom(d, "_NET_WM_STATE", False)) return Change::STATE;
  return Change::NONE;
}

void set_size_hints(SDL_Window* window, bool fixed, int w, int h) {
  Display* d;
  Window id;
  if (!x_window(window, &d, &id)) return;
  XSizeHints hints{};
  long given = 0;
  lib().get_normal_hints(d, id, &hints, &given);  // SDL's other hints (its placement) stay
  hints.flags = (hints.flags & ~(PMinSize | PMaxSize)) | PMinSize | (fixed ? PMaxSize : 0);
  hints.min_width = hints.max_width = w;
  hints.min_height = hints.max_height = h;
  lib().set_normal_hints(d, id, &hints);
  lib().sync(d, False);
}

namespace {
void (*connection_lost)() = nullptr;
int on_io_error(Display*) {
  connection_lost();
  return 0;  // not reached: the X library would end the program itself
}
}  // namespace

std::string resources() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0 || !lib().ok) return {};
  std::string text;
  if (Display* display = lib().open_display(nullptr)) {
    if (const char* r = lib().resource_string(display)) text = r;
    lib().close_display(display);
  }
  return text;
}

int connection(SDL_Window* window, void (*lost)()) {
  Display* display = nullptr;
  Window id = 0;
  if (!x_window(window, &display, &id)) return -1;
  connection_lost = lost;
  lib().set_io_error_handler(on_io_error);
  return lib().connection_number(display);
}

}  // namespace plat::xlib
