// The sound module: wave files opened under an alias and played by command strings, and a
// few audio-CD commands. Every operation records the interpreter's answer in mci_LastError
// and returns 1 when every command it sent succeeded, else 0.
#pragma once

#include "platform/wintypes.h"

extern uint32 mci_LastError;  // answer to the last command sent; nobody reads it

int mci_ExecStr(const char* command_str);
int mci_OpenWave(const char* filename, const char* alias);
int mci_CloseWave(const char* alias);
int mci_PlayWave(const char* alias);      // starts from the beginning, returns at once
int mci_PlayWaveWait(const char* alias);  // returns when the sound has ended
int mci_StopWave(const char* alias);
int mci_PlayCD();
int mci_PlayCDTrack(int32 track);
int mci_PlayCDFromTrack(int32 track);
int mci_StopCD();
