// Converting between a recording and a tape image: a WAV file's blocks
// written as a TKT image, and a TKT image played as the recording the
// firmware's save would make. Both refuse a file that is not what they
// expect, and write the output whole or not at all.
#pragma once

#include <cstddef>
#include <vector>

#include "media/tape_blocks.h"

// Decodes `wavPath` and writes every complete block to `tktPath` (a block
// with a wrong checksum is kept as found). `blocks` gets every block found,
// cut-short ones too. False with a message when the input is not a PCM WAV
// file, holds no complete block, or the output could not be written.
bool tape_wav_to_tkt(const char* wavPath, const char* tktPath, std::vector<TapeBlock>* blocks,
                     char* message, size_t messageSize);
// Plays the tape image `tktPath` into `wavPath`. False with a message when
// the image holds no block or the output could not be written.
bool tape_tkt_to_wav(const char* tktPath, const char* wavPath, std::vector<TapeBlock>* blocks,
                     char* message, size_t messageSize);
