// Parsing and carrying out the media command strings, one wave device per alias.
#include "platform/sound/interpreter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace plat::sound {
namespace {

constexpr std::size_t MAX_WAVE_FILE = 64u << 20;  // larger files are refused, not read

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
  if (word.empty() || word.size() > 10 ||
      !std::all_of(word.begin(), word.end(), [](unsigned char ch) { return std::isdigit(ch); }))
    return ERR_OUT_OF_RANGE;
  unsigned long long v = std::stoull(word);
  if (v > 0xFFFFFFFFull) return ERR_OUT_OF_RANGE;
  *out = std::uint32_t(v);
  return ANSWER_OK;
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
      if (!a.next(k == "type" ? &c->type : &c->alias)) return ERR_MISSING_PARAMETER;
    } else if (k != "wait" && k != "shareable" && k != "notify") {
      return ERR_UNKNOWN_KEYWORD;
    }
  }
  return ANSWER_OK;
}

std::uint32_t parse_play(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key(), v;
    if (k == "from" || k == "to") {
      if (!a.next(&v)) return ERR_MISSING_PARAMETER;
      if (std::uint32_t e = number(v, k == "from" ? &c->from : &c->to)) return e;
      (k == "from" ? c->has_from : c->has_to) = true;
    } else if (k == "wait") {
      c->wait = true;
    } else if (k != "notify") {
      return ERR_UNKNOWN_KEYWORD;
    }
  }
  return ANSWER_OK;
}

std::uint32_t parse_seek(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key(), v;
    if (k == "to") {
      if (!a.next(&v)) return ERR_MISSING_PARAMETER;
      std::string where = lower(v);
      if (where == "start")
        c->seek = Command::SEEK_TO_START;
      else if (where == "end")
        c->seek = Command::SEEK_TO_END;
      else if (std::uint32_t e = number(v, &c->seek_to))
        return e;
      else
        c->seek = Command::SEEK_TO_POSITION;
    } else if (k != "wait" && k != "notify") {
      return ERR_UNKNOWN_KEYWORD;
    }
  }
  return c->seek == Command::NO_SEEK ? ERR_MISSING_PARAMETER : ANSWER_OK;
}

std::uint32_t parse_set(Args& a, Command* c) {
  while (a.more()) {
    std::string k = a.key(), v;
    if (k == "time") {
      if (!a.more() || a.key() != "format") return ERR_MISSING_PARAMETER;
      if (!a.next(&v)) return ERR_MISSING_PARAMETER;
      c->time_format = lower(v);
    } else if (k != "wait" && k != "notify") {
      return ERR_UNKNOWN_KEYWORD;
    }
  }
  return c->time_format.empty() ? ERR_MISSING_PARAMETER : ANSWER_OK;
}

std::uint32_t parse_plain(Args& a) {
  while (a.more()) {
    std::string k = a.key();
    if (k != "wait" && k != "notify") return ERR_UNKNOWN_KEYWORD;
  }
  return ANSWER_OK;
}

bool read_file(const std::string& path, std::vector<std::uint8_t>* bytes, bool* too_big) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;  // absent, or a folder
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  if (!f) return false;
  const std::streamoff size = f.tellg();
  if (size < 0) return false;
  if (std::size_t(size) > MAX_WAVE_FILE) {
    *too_big = true;
    return true;
  }
  bytes->resize(std::size_t(size));
  f.seekg(0);
  return bool(f.read(reinterpret_cast<char*>(bytes->data()), size));
}

}  // namespace

std::uint32_t parse_command(std::string_view text, Command* cmd) {
  const std::vector<std::string> words = split(text);
  if (words.empty()) return ERR_UNKNOWN_COMMAND;
  Command c;
  c.verb = lower(words[0]);
  static const char* const verbs[] = {"open", "close", "play", "stop", "seek", "set"};
  if (std::find(std::begin(verbs), std::end(verbs), c.verb) == std::end(verbs))
    return ERR_UNKNOWN_COMMAND;
  if (words.size() < 2) return ERR_MISSING_PARAMETER;
  c.target = words[1];
  Args a{words};
  std::uint32_t e = c.verb == "open"   ? parse_open(a, &c)
                    : c.verb == "play" ? parse_play(a, &c)
                    : c.verb == "seek" ? parse_seek(a, &c)
                    : c.verb == "set"  ? parse_set(a, &c)
                                       : parse_plain(a);
  if (e == ANSWER_OK) *cmd = std::move(c);
  return e;
}

std::uint32_t Interpreter::send(const char* command) {
  if (!command) return ERR_UNKNOWN_COMMAND;
  Command cmd;
  if (std::uint32_t e = parse_command(command, &cmd)) return e;
  return cmd.verb == "open" ? open(cmd) : act(cmd);
}

std::uint32_t Interpreter::open(const Command& cmd) {
  const std::string type = lower(cmd.type), target = lower(cmd.target);
  // There is no CD drive: the CD device cannot be opened, so every CD command after it fails.
  if (target == "cdaudio" || type == "cdaudio") return ERR_NO_SUCH_DEVICE;
  if (!type.empty() && type != "waveaudio") return ERR_NO_SUCH_DEVICE;
  const std::string alias = lower(cmd.alias.empty() ? cmd.target : cmd.alias);
  std::lock_guard lock(mutex_);
  if (aliases_.count(alias)) return ERR_DUPLICATE_ALIAS;
  std::vector<std::uint8_t> bytes;
  bool too_big = false;
  if (!read_file(cmd.target, &bytes, &too_big)) return ERR_FILE_NOT_FOUND;
  WaveInfo info;
  if (too_big || !parse_wave(bytes.data(), bytes.size(), &info)) return ERR_BAD_FILE;
  const std::uint32_t length = info.length_ms();
  std::shared_ptr<Device> device = backend_->open(alias, std::move(bytes), info);
  aliases_[alias] = Alias{std::move(device), length, 0};
  return ANSWER_OK;
}

std::uint32_t Interpreter::act(const Command& cmd) {
  std::unique_lock lock(mutex_);
  const std::string name = lower(cmd.target);
  if (cmd.verb == "close" && name == "all") {
    for (auto& [n, a] : aliases_) a.device->close();
    aliases_.clear();
    return ANSWER_OK;
  }
  auto it = aliases_.find(name);
  if (it == aliases_.end()) return ERR_UNKNOWN_ALIAS;
  Alias& a = it->second;
  if (cmd.verb == "close") {
    a.device->close();
    aliases_.erase(it);
  } else if (cmd.verb == "stop") {
    a.device->stop();
  } else if (cmd.verb == "set") {
    if (cmd.time_format != "milliseconds" && cmd.time_format != "ms" && cmd.time_format != "tms")
      return ERR_BAD_TIME_FORMAT;
  } else if (cmd.verb == "seek") {
    std::uint32_t to = cmd.seek == Command::SEEK_TO_START ? 0
                       : cmd.seek == Command::SEEK_TO_END ? a.length_ms
                                                          : cmd.seek_to;
    if (to > a.length_ms) return ERR_OUT_OF_RANGE;
    a.position_ms = to;
    a.device->seek(cmd);
  } else {  // play
    const std::uint32_t from = cmd.has_from ? cmd.from : a.position_ms;
    const std::uint32_t to = cmd.has_to ? cmd.to : a.length_ms;
    if (from > a.length_ms || to > a.length_ms || from > to) return ERR_OUT_OF_RANGE;
    a.position_ms = to;
    std::shared_ptr<Device> device = a.device;
    lock.unlock();  // a waiting play must not hold up other commands
    device->play(from, to, cmd.wait);
  }
  return ANSWER_OK;
}

void Interpreter::shutdown() {
  std::lock_guard lock(mutex_);
  for (auto& [n, a] : aliases_) a.device->close();
  aliases_.clear();
  backend_->shutdown();
}

}  // namespace plat::sound
