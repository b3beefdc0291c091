// Parsing and carrying out the media command strings, one wave device per alias.
#include "platform/sound/interpreter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace plat::sound {
namespace {

constexpr std::size_t kMaxWaveFile = 64u << 20;  // larger files are refused, not read

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Whitespace-separated words; a double-quoted word may hold spaces.
std::vector<std::string> split(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size()) break;
    std::size_t end;
    if (text[i] == '"') {
      end = text.find('"', i + 1);
      if (end == std::string_view::npos) end = text.size();
      words.emplace_back(text.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    end = i;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    words.emplace_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

std::uint32_t number(const std::string& word, std::uint32_t* out) {
  if (word.empty() || word.size() > 10 || !std::all_of(word.begin(), word.end(), [](unsigned char ch) { return std::isdigit(ch); })) return kErrOutOfRange;
  unsigned long long v = std::stoull(word);
  if (v > 0xFFFFFFFFull) return kErrOutOfRange;
  *out = std::uint32_t(v);
  return kOk;
}

// Reads the keyword arguments after the target. `next` hands out the word after a keyword.
struct Args {
  const std::vector<std::string>& w;
  std::size_t i = 2;
  bool more() const { return i < w.size(); }
  std::string key() { return lower(w[i++]); }
  bool next(std::string* out) {
    if (i >= w.size()) return false;
    *out = w[i++];
    return true;
  }
};

std::uint32_t parse_open(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key();
    if (k == "type" || k == "alias") {
      if (!a.next(k == "type" ? &c->type : &c->alias)) return kErrMissingParameter;
    } else if (k != "wait" && k != "shareable" && k != "notify") {
      return kErrUnknownKeyword;
    }
  }
  return kOk;
}

std::uint32_t parse_play(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key(), v;
    if (k == "from" || k == "to") {
      if (!a.next(&v)) return kErrMissingParameter;
      if (std::uint32_t e = number(v, k == "from" ? &c->from : &c->to)) return e;
      (k == "from" ? c->has_from : c->has_to) = true;
    } else if (k == "wait") {
      c->wait = true;
    } else if (k != "notify") {
      return kErrUnknownKeyword;
    }
  }
  return kOk;
}

std::uint32_t parse_seek(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key(), v;
    if (k == "to") {
      if (!a.next(&v)) return kErrMissingParameter;
      std::string where = lower(v);
      if (where == "start") c->seek = Command::kStart;
      else if (where == "end") c->seek = Command::kEnd;
      else if (std::uint32_t e = number(v, &c->seek_to)) return e;
      else c->seek = Command::kPosition;
    } else if (k != "wait" && k != "notify") {
      return kErrUnknownKeyword;
    }
  }
  return c->seek == Command::kNone ? kErrMissingParameter : kOk;
}

std::uint32_t parse_set(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key(), v;
    if (k == "time") {
      if (!a.more() || a.key() != "format") return kErrMissingParameter;
      if (!a.next(&v)) return kErrMissingParameter;
      c->time_format = lower(v);
    } else if (k != "wait" && k != "notify") {
      return kErrUnknownKeyword;
    }
  }
  return c->time_format.empty() ? kErrMissingParameter : kOk;
}

std::uint32_t parse_plain(Args& a) {
  while (a.more()) {
    std::string k = a.key();
    if (k != "wait" && k != "notify") return kErrUnknownKeyword;
  }
  return kOk;
}

bool read_file(const std::string& path, std::vector<std::uint8_t>* bytes, bool* too_big) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;  // absent, or a folder
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  if (!f) return false;
  const std::streamoff size = f.tellg();
  if (size < 0) return false;
  if (std::size_t(size) > kMaxWaveFile) return *too_big = true, true;
  bytes->resize(std::size_t(size));
  f.seekg(0);
  return bool(f.read(reinterpret_cast<char*>(bytes->data()), size));
}

}  // namespace

std::uint32_t parse_command(std::string_view text, Command* cmd) {
  const std::vector<std::string> words = split(text);
  if (words.empty()) return kErrUnknownCommand;
  Command c;
  c.verb = lower(words[0]);
  static const char* const verbs[] = {"open", "close", "play", "stop", "seek", "set"};
  if (std::find(std::begin(verbs), std::end(verbs), c.verb) == std::end(verbs)) return kErrUnknownCommand;
  if (words.size() < 2) return kErrMissingParameter;
  c.target = words[1];
  Args a{words};
  std::uint32_t e = c.verb == "open" ? parse_open(a, &c)
                    : c.verb == "play" ? parse_play(a, &c)
                    : c.verb == "seek" ? parse_seek(a, &c)
                    : c.verb == "set"  ? parse_set(a, &c)
                                       : parse_plain(a);
  if (e == kOk) *cmd = std::move(c);
  return e;
}

std::uint32_t Interpreter::send(const char* command) {
  if (!command) return kErrUnknownCommand;
  Command cmd;
  if (std::uint32_t e = parse_command(command, &cmd)) return e;
  return cmd.verb == "open" ? open(cmd) : act(cmd);
}

std::uint32_t Interpreter::open(const Command& cmd) {
  const std::string type = lower(cmd.type), target = lower(cmd.target);
  // There is no CD drive: the CD device cannot be opened, so every CD command after it fails.
  if (target == "cdaudio" || type == "cdaudio") return kErrNoSuchDevice;
  if (!type.empty() && type != "waveaudio") return kErrNoSuchDevice;
  const std::string alias = lower(cmd.alias.empty() ? cmd.target : cmd.alias);
  std::lock_guard lock(mutex_);
  if (aliases_.count(alias)) return kErrDuplicateAlias;
  std::vector<std::uint8_t> bytes;
  bool too_big = false;
  if (!read_file(cmd.target, &bytes, &too_big)) return kErrFileNotFound;
  WaveInfo info;
  if (too_big || !parse_wave(bytes.data(), bytes.size(), &info)) return kErrBadFile;
  const std::uint32_t length = info.length_ms();
  std::shared_ptr<Device> device = backend_->open(alias, std::move(bytes), info);
  aliases_[alias] = Alias{std::move(device), length, 0};
  return kOk;
}

std::uint32_t Interpreter::act(const Command& cmd) {
  std::unique_lock lock(mutex_);
  const std::string name = lower(cmd.target);
  if (cmd.verb == "close" && name == "all") {
    for (auto& [n, a] : aliases_) a.device->close();
    aliases_.clear();
    return kOk;
  }
  auto it = aliases_.find(name);
  if (it == aliases_.end()) return kErrUnknownAlias;
  Alias& a = it->second;
  if (cmd.verb == "close") {
    a.device->close();
    aliases_.erase(it);
  } else if (cmd.verb == "stop") {
    a.device->stop();
  } else if (cmd.verb == "set") {
    if (cmd.time_format != "milliseconds" && cmd.time_format != "ms" && cmd.time_format != "tms")
      return kErrBadTimeFormat;
  } else if (cmd.verb == "seek") {
    std::uint32_t to = cmd.seek == Command::kStart ? 0 : cmd.seek == Command::kEnd ? a.length_ms : cmd.seek_to;
    if (to > a.length_ms) return kErrOutOfRange;
    a.position_ms = to;
    a.device->seek(cmd);
  } else {  // play
    const std::uint32_t from = cmd.has_from ? cmd.from : a.position_ms;
    const std::uint32_t to = cmd.has_to ? cmd.to : a.length_ms;
    if (from > a.length_ms || to > a.length_ms || from > to) return kErrOutOfRange;
    a.position_ms = to;
    std::shared_ptr<Device> device = a.device;
    lock.unlock();  // a waiting play must not hold up other commands
    device->play(from, to, cmd.wait);
  }
  return kOk;
}

void Interpreter::shutdown() {
  std::lock_guard lock(mutex_);
  for (auto& [n, a] : aliases_) a.device->close();
  aliases_.clear();
  backend_->shutdown();
}

}  // namespace plat::sound
