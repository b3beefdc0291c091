// The display watch and the close signals; see lifeline.h.
#include "platform/sdl/lifeline.h"

#include <SDL_syswm.h>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/sdl/xlib.h"

namespace plat::sdl {

namespace {

constexpr int CLOSE_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};
constexpr char STOP = 0;  // written by stop_lifeline; a signal writes its number
constexpr int EXIT_DISPLAY_LOST = 1;
constexpr auto SAVE_PATIENCE = std::chrono::seconds(2);
constexpr int BOX_RETRY_MS = 100;  // a box whose process was not there yet is looked for again

struct Lifeline {
  int pipe_read = -1, pipe_write = -1;
  int display_fd = -1;
  HWND hwnd = nullptr;
  std::thread thread;
  std::atomic<bool> box_open{false};
  std::atomic<bool> closing{false};
  pid_t parent = 0;  // the game's process, for the processes it forks
};

Lifeline& lifeline() {
  static Lifeline l;
  return l;
}

bool in_forked_child = false;  // this process shows a box for the game

// Ends the program because its display is gone: after any save under way, without running a
// single exit handler (they would wait on threads that wait on the window thread).
[[noreturn]] void display_lost() {
  if (!in_forked_child) {
    static const char said[] = "orbolan: the connection to the display was lost\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, said, sizeof said - 1);
    save_lock().try_lock_for(SAVE_PATIENCE);  // held until the end: no save starts now
  }
  ::_exit(EXIT_DISPLAY_LOST);
}

void on_close_signal(int signal_number) {
  const int saved = errno;
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] const ssize_t n = ::write(lifeline().pipe_write, &byte, 1);
  errno = saved;
}

// In the process SDL forks to show a box (or to start a dialog helper): it dies with the
// game, and a close signal ends it at once instead of reaching the game's pipe.
void in_child_after_fork() {
  in_forked_child = true;
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != lifeline().parent) ::_exit(1);  // the game ended before the prctl
  for (int s : CLOSE_SIGNALS) std::signal(s, SIG_DFL);
}

// Ends every process the game has forked: the box's, while one is open.
void end_box_processes() {
  DIR* proc = ::opendir("/proc");
  if (!proc) return;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    char path[64], stat[512];
    std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    const ssize_t n = ::read(fd, stat, sizeof stat - 1);
    ::close(fd);
    if (n <= 0) continue;
    stat[n] = '\0';
    // "pid (name) state ppid ...": the name may hold anything but ends at the last ')'.
    const char* after_name = std::strrchr(stat, ')');
    char state = 0;
    int ppid = 0;
    if (after_name && std::sscanf(after_name + 1, " %c %d", &state, &ppid) == 2 && ppid == self)
      ::kill(pid, SIGKILL);
  }
  ::closedir(proc);
}

// A close signal: the window is asked to close as its close box does; an open box is closed
// first, so the window thread gets to the request.
void close_requested() {
  Lifeline& l = lifeline();
  l.closing = true;
  post_message(l.hwnd, WM_CLOSE, 0, 0);
}

// The file descriptor of SDL's connection to the display (X11 or Wayland); -1 when unknown.
int display_connection(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info)) return -1;
  if (info.subsystem == SDL_SYSWM_X11) return xlib::connection(window, display_lost);
  if (info.subsystem == SDL_SYSWM_WAYLAND) {
    void* wayland = ::dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
    auto get_fd =
        wayland ? reinterpret_cast<int (*)(void*)>(::dlsym(wayland, "wl_display_get_fd")) : nullptr;
    return get_fd ? get_fd(info.info.wl.display) : -1;
  }
  return -1;
}

void watch() {
  pthread_setname_np(pthread_self(), "lifeline");
  Lifeline& l = lifeline();
  for (;;) {
    // POLLRDHUP alone: the display's ordinary traffic never wakes this thread.
    pollfd fds[2] = {{l.pipe_read, POLLIN, 0}, {l.display_fd, POLLRDHUP, 0}};
    const bool chasing_box = l.closing && l.box_open;
    if (::poll(fds, l.display_fd >= 0 ? 2 : 1, chasing_box ? BOX_RETRY_MS : -1) < 0) continue;
    if (fds[1].revents & (POLLRDHUP | POLLHUP | POLLERR)) display_lost();
    char byte = STOP;
    if ((fds[0].revents & POLLIN) && ::read(l.pipe_read, &byte, 1) == 1) {
      if (byte == STOP) return;
      close_requested();
    }
    if (l.closing && l.box_open) end_box_processes();
  }
}

}  // namespace

void catch_close_signals() {
  Lifeline& l = lifeline();
  int fds[2];
  if (l.pipe_read >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  l.pipe_read = fds[0];
  l.pipe_write = fds[1];
  l.parent = ::getpid();
  for (int s : CLOSE_SIGNALS) {
    struct sigaction old {};
    if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction on {};
    on.sa_handler = on_close_signal;
    sigemptyset(&on.sa_mask);
    on.sa_flags = SA_RESTART;
    ::sigaction(s, &on, nullptr);
  }
  ::pthread_atfork(nullptr, nullptr, in_child_after_fork);
}

void start_lifeline(SDL_Window* window, HWND hwnd) {
  Lifeline& l = lifeline();
  if (l.pipe_read < 0 || l.thread.joinable()) return;
  l.hwnd = hwnd;
  l.display_fd = display_connection(window);
  l.thread = std::thread(watch);
}

void stop_lifeline() {
  Lifeline& l = lifeline();
  if (!l.thread.joinable()) return;
  [[maybe_unused]] const ssize_t n = ::write(l.pipe_write, &STOP, 1);
  l.thread.join();
}

void box_opened() { lifeline().box_open = true; }
void box_closed() { lifeline().box_open = false; }
bool closing_by_signal() { return lifeline().closing; }

}  // namespace plat::sdl
