// Measures how long the real program takes from launch to its first frames on an X server:
// starts it, then polls the window's pixels (XGetImage, about every millisecond) and
// reports, in milliseconds since the launch, the first poll that shows anything drawn and
// the first that shows the finished start screen, pixel for pixel equal to a reference
// taken from an earlier run that had settled. Ends the program afterwards.
// Usage: orbolan_first_frame PROGRAM REFERENCE.rgb [--record] [--window NAME] [-- ARGS...]
//   --record: wait until the start screen has settled, save it as the reference, and exit.
//   --window: the title of the window to watch ("Orbolan!"); its whole inside is compared.
//   ARGS: the program's arguments (for another program measured beside Orbolan).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto GIVE_UP = std::chrono::seconds(20);

const char* window_name = "Orbolan!";

// The window named window_name below `w`, or 0.
Window Find(Display* d, Window w) {
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name) {
    const bool hit = std::strcmp(name, window_name) == 0;
    XFree(name);
    if (hit) return w;
  }
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < n && !found; ++i) found = Find(d, children[i]);
  if (children) XFree(children);
  return found;
}

// The window's pixels as 0x00RRGGBB, or empty while the window is not viewable.
std::vector<std::uint32_t> Grab(Display* d, Window w) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return {};
  XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!img) return {};
  std::vector<std::uint32_t> px(static_cast<std::size_t>(a.width) * a.height);
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) px[y * a.width + x] = XGetPixel(img, x, y) & 0xFFFFFFu;
  XDestroyImage(img);
  return px;
}

bool Anything_Drawn(const std::vector<std::uint32_t>& px) {
  for (std::uint32_t p : px)
    if (p != 0) return true;
  return false;
}

double Ms_Since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

int X_Error(Display*, XErrorEvent*) { return 0; }  // the window may go while it is read

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: %s PROGRAM REFERENCE.rgb [--record] [--window NAME] [-- ARGS...]\n",
                 argv[0]);
    return 2;
  }
  bool record = false;
  std::vector<char*> program{argv[1]};
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--record") == 0) record = true;
    if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc) window_name = argv[++i];
    if (std::strcmp(argv[i], "--") == 0)
      program.insert(program.end(), argv + i + 1, argv + argc), i = argc;
  }
  program.push_back(nullptr);
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  XSetErrorHandler(X_Error);
  std::vector<std::uint32_t> reference;
  if (!record) {
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    reference.resize(bytes.size() / 4);
    std::memcpy(reference.data(), bytes.data(), reference.size() * 4);
    if (reference.empty()) {
      std::fprintf(stderr, "no reference picture in %s\n", argv[2]);
      return 2;
    }
  }

  const Clock::time_point t0 = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execv(program[0], program.data());
    _exit(127);
  }
  double first_drawn = -1, start_screen = -1;
  Window w = 0;
  std::vector<std::uint32_t> last;
  Clock::time_point last_change = Clock::now();
  while (Clock::now() - t0 < GIVE_UP && start_screen < 0) {
    if (!w) w = Find(d, DefaultRootWindow(d));
    std::vector<std::uint32_t> px = w ? Grab(d, w) : std::vector<std::uint32_t>{};
    const double now = Ms_Since(t0);
    if (px.empty()) w = 0;  // not shown yet, or gone: the program may make more than one
    if (!px.empty()) {
      if (first_drawn < 0 && Anything_Drawn(px)) first_drawn = now;
      if (!record && px == reference) start_screen = now;
      if (px != last) last_change = Clock::now();
      // Recording: the start screen has settled once nothing changed for a second.
      if (record && Anything_Drawn(px) && Clock::now() - last_change > std::chrono::seconds(1)) {
        std::ofstream(argv[2], std::ios::binary)
            .write(reinterpret_cast<const char*>(px.data()),
                   static_cast<std::streamsize>(px.size() * 4));
        start_screen = now;
      }
      last = std::move(px);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(d);
  if (start_screen < 0) {
    std::fprintf(stderr, "the start screen never appeared\n");
    return 1;
  }
  std::printf("%.1f %.1f\n", first_drawn, start_screen);
  return 0;
}
