// The sound module: each operation formats its command strings, sends them to the media
// command interpreter, records the answer in mci_LastError and stops at the first failure.
#include "mci/MCI.h"

#include <cstdio>

#include "platform/platform.h"

uint32 mci_LastError = 0;

// Sends one command and records its answer; true when it succeeded.
static bool send(const char* command) {
  mci_LastError = plat::mci_send_string(command);
  return mci_LastError == 0;
}

// Formats one command into a buffer of the module's command size and sends it.
template <typename... Args>
static bool sendf(const char* format, Args... args) {
  char str[255];
  std::snprintf(str, sizeof str, format, args...);
  return send(str);
}

int mci_ExecStr(const char* command_str) { return send(command_str) ? 1 : 0; }

int mci_OpenWave(const char* filename, const char* alias) {
  return sendf("open %s type waveaudio alias %s", filename, alias) ? 1 : 0;
}

int mci_CloseWave(const char* alias) { return sendf("close %s", alias) ? 1 : 0; }

int mci_PlayWave(const char* alias) { return sendf("play %s from 0", alias) ? 1 : 0; }

int mci_PlayWaveWait(const char* alias) { return sendf("play %s from 0 wait", alias) ? 1 : 0; }

int mci_StopWave(const char* alias) { return sendf("stop %s", alias) ? 1 : 0; }

// The CD operations: open the drive, act, close it; the first failure ends the sequence and
// leaves the drive as it is.
int mci_PlayCD() {
  return send("open cdaudio") && send("play cdaudio") && send("close cdaudio") ? 1 : 0;
}

int mci_PlayCDTrack(int32 track) {
  const unsigned t = static_cast<unsigned>(track);
  return send("open cdaudio") && send("set cdaudio time format track") &&
                 sendf("play cdaudio from %u to %u", t, t) && send("close cdaudio")
             ? 1
             : 0;
}

int mci_PlayCDFromTrack(int32 track) {
  const unsigned t = static_cast<unsigned>(track);
  return send("open cdaudio") && send("set cdaudio time format track") &&
                 sendf("play cdaudio from %u", t) && send("close cdaudio")
             ? 1
             : 0;
}

int mci_StopCD() {
  return send("open cdaudio") && send("stop cdaudio") && send("close cdaudio") ? 1 : 0;
}
