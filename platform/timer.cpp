// The periodic multimedia timer: each timer ticks on its own thread, on a fixed schedule
// (no drift), with the callback run under the world lock. A tick that neither presents a
// frame nor posts a message found nothing to do, and with nothing dispatched since, the next
// one would find nothing either: the thread then sleeps until a message is dispatched, and
// resumes on its old schedule, so an idle program never wakes. Headless tests may instead
// make manual timers that only fire when the test says so.
#include <chrono>
#include <condition_variable>
#include <thread>

#include <pthread.h>

#include "platform/detail.h"

namespace plat {

namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
  uint32 id = 0;
  LPTIMECALLBACK callback = nullptr;
  unsigned long user = 0;
  std::chrono::milliseconds period{25};
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::mutex mutex;  // for the sleeps that a kill or a dispatched message cuts short
  std::condition_variable wake;
  bool dozing = false;  // under `mutex`: asleep until roused
  std::thread thread;
};

// Live timers, and killed ones whose thread is yet to be joined. A killed timer's thread may
// be waiting for the world lock that its killer holds, so it is joined later, where that
// lock is free, or when the platform shuts down. A program that ends without shutting the
// platform down (exit() called from a library) may end on a thread that holds the world lock:
// the registry then waits for nobody, it stops every timer and leaves its threads running on
// records that stay alive until the process is gone.
struct Registry {
  Registry() { world_lock(); }  // made first, so the lock outlives this registry
  ~Registry() {
    if (live.empty() && stopped.empty()) return;
    static auto* left = new std::vector<std::shared_ptr<Timer>>(live);  // kept to the end
    left->insert(left->end(), stopped.begin(), stopped.end());
    for (auto& t : *left) {
      {
        std::lock_guard sleep(t->mutex);  // a sleeping thread must not miss the stop
        t->stop = true;
      }
      t->wake.notify_all();
      if (t->thread.joinable()) t->thread.detach();
    }
  }
  std::mutex mutex;
  uint32 next_id = 1;
  std::vector<std::shared_ptr<Timer>> live;
  std::vector<std::shared_ptr<Timer>> stopped;
};

Registry& registry() {
  static Registry r;
  return r;
}

std::atomic<bool> g_sleep_when_idle{true};
thread_local bool t_busy = false;  // this thread presented a frame or posted a message

void run_timer(Timer* t) {
  pthread_setname_np(pthread_self(), "timer");  // as listed by ps and /proc
  Clock::time_point next = Clock::now() + t->period;
  for (;;) {
    {
      std::unique_lock lock(t->mutex);
      if (t->dozing) {
        t->wake.wait(lock, [t] { return t->stop || !t->dozing; });
        if (t->stop) break;
        // Back on the old schedule: the first tick comes where it would have come anyway.
        const auto now = Clock::now();
        if (next <= now) next += (now - next) / t->period * t->period + t->period;
      }
      if (t->wake.wait_until(lock, next, [t] { return t->stop.load(); })) break;
    }
    std::lock_guard<std::recursive_mutex> world{world_lock()};
    if (t->stop) break;  // killed while this thread waited for the lock
    t_busy = false;
    t->callback(t->id, 0, t->user, 0, 0);
    next += t->period;
    // After a long stall (a modal box) start a fresh schedule rather than a burst of ticks.
    if (Clock::now() - next > 4 * t->period) next = Clock::now() + t->period;
    // Decided under the world lock, so no message can slip in between the tick and the nap.
    if (!t_busy && g_sleep_when_idle) {
      std::lock_guard lock(t->mutex);
      t->dozing = true;
    }
  }
  t->finished = true;
}

}  // namespace

uint32 time_set_event(uint32 delay_ms, uint32, LPTIMECALLBACK callback, unsigned long user,
                      uint32) {
  if (!callback || delay_ms == 0) return 0;
  auto t = std::make_shared<Timer>();
  t->callback = callback;
  t->user = user;
  t->period = std::chrono::milliseconds(delay_ms);
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  t->id = r.next_id++;
  if (!detail::manual_timers()) t->thread = std::thread(run_timer, t.get());
  r.live.push_back(t);
  return t->id;
}

void time_kill_event(uint32 id) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (auto it = r.live.begin(); it != r.live.end(); ++it) {
    if ((*it)->id != id) continue;
    std::shared_ptr<Timer> t = *it;
    r.live.erase(it);
    {
      std::lock_guard sleep(t->mutex);
      t->stop = true;
    }
    t->wake.notify_all();
    if (t->thread.joinable()) r.stopped.push_back(t);
    return;
  }
}

namespace detail {

void note_busy() { t_busy = true; }

void rouse_timers() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (auto& t : r.live) {
    {
      std::lock_guard sleep(t->mutex);
      if (!t->dozing) continue;
      t->dozing = false;
    }
    t->wake.notify_all();
  }
}

void set_timers_sleep_when_idle(bool on) {
  g_sleep_when_idle = on;
  if (!on) rouse_timers();
}

void fire_manual_timers(int n) {
  for (int i = 0; i < n; ++i) {
    std::lock_guard<std::recursive_mutex> world{world_lock()};
    std::vector<std::shared_ptr<Timer>> manual;
    {
      std::lock_guard lock(registry().mutex);
      for (auto& t : registry().live)
        if (!t->thread.joinable()) manual.push_back(t);
    }
    for (auto& t : manual)
      if (!t->stop) t->callback(t->id, 0, t->user, 0, 0);
  }
}

bool any_timer_alive() {
  std::lock_guard lock(registry().mutex);
  return !registry().live.empty();
}

void join_stopped_timers() {
  std::vector<std::shared_ptr<Timer>> done;
  {
    std::lock_guard lock(registry().mutex);
    auto& s = registry().stopped;
    for (auto it = s.begin(); it != s.end();) {
      if ((*it)->finished) {
        done.push_back(*it);
        it = s.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& t : done) t->thread.join();
}

void kill_all_timers() {
  std::vector<uint32> ids;
  {
    std::lock_guard lock(registry().mutex);
    for (auto& t : registry().live) ids.push_back(t->id);
  }
  for (uint32 id : ids) time_kill_event(id);
  std::vector<std::shared_ptr<Timer>> all;
  {
    std::lock_guard lock(registry().mutex);
    all.swap(registry().stopped);
  }
  for (auto& t : all) t->thread.join();  // the caller holds no world lock
}

}  // namespace detail
}  // namespace plat
