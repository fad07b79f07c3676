// Reading a recording of a Tarvik tape: the signal passes the conditioning
// stage, each high pulse is measured as the firmware's reader measures it
// (sync, 1 or 0 by its length) and the bytes go to the block loader.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "media/tape_blocks.h"

// The blocks in the PCM WAV file `f`; each block's start is a sample number.
// False (message set, blocks empty) when it is not a PCM WAV file.
bool tape_decode_wav(std::FILE* f, std::vector<TapeBlock>* blocks, char* message,
                     size_t messageSize);
