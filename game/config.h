// The byte layout of "orbolan.cfg": 15 little-endian int32, setup first, then the four
// statistics blocks. Pure helpers, shared by the file code, its tests and its fuzzer.
#pragma once

#include <cstddef>

#include "game/GAME.h"

constexpr std::size_t CONFIG_FILE_SIZE = 60;
extern const char* const CONFIG_FILE_NAME;          // "orbolan.cfg", in the working directory
extern const char* const CONFIG_DAMAGED_FILE_NAME;  // an unreadable file, kept aside

// Lays both records out as the file holds them.
void Encode_Config(const sSETUP_DATA& setup, const sSCORE_STATISTIC& stats,
                   unsigned char out[CONFIG_FILE_SIZE]);
// Reads both records back from the file's bytes; every value is taken as it stands.
void Decode_Config(const unsigned char in[CONFIG_FILE_SIZE], sSETUP_DATA* setup,
                   sSCORE_STATISTIC* stats);
