// WAV to TKT and TKT to WAV through the safe-save path.
#include "media/tape_convert.h"

#include <cstdio>

#include "media/files.h"
#include "media/save_file.h"
#include "media/tape_decode.h"
#include "media/tape_encode.h"

namespace {

// A tape image may hold up to a few blocks of 64 KB each.
constexpr size_t kMostImageBytes = 16u << 20;

} // namespace

bool tape_wav_to_tkt(const char* wavPath, const char* tktPath, std::vector<TapeBlock>* blocks,
                     char* message, size_t messageSize) {
  blocks->clear();
  std::FILE* in = wavPath ? media_open_for_reading(wavPath) : nullptr;
  if (!in) {
    std::snprintf(message, messageSize, "A WAV állomány nem nyitható meg: %s", wavPath);
    return false;
  }
  char reason[200];
  const bool decoded = tape_decode_wav(in, blocks, reason, sizeof reason);
  std::fclose(in);
  if (!decoded) {
    std::snprintf(message, messageSize, "%s: %s", wavPath, reason);
    return false;
  }
  std::vector<uint8_t> image;
  for (const TapeBlock& block : *blocks)
    if (block.complete) tape_block_append(&image, block);
  if (image.empty()) {
    std::snprintf(message, messageSize, "%s: nincs benne ép Tarvik blokk.", wavPath);
    return false;
  }
  SaveFile save;
  std::FILE* out = save_file_open(&save, tktPath);
  if (!out ||
      !save_file_commit(&save, std::fwrite(image.data(), 1, image.size(), out) == image.size())) {
    std::snprintf(message, messageSize, "A TKT állomány nem írható: %s", tktPath);
    return false;
  }
  message[0] = '\0';
  return true;
}

bool tape_tkt_to_wav(const char* tktPath, const char* wavPath, std::vector<TapeBlock>* blocks,
                     char* message, size_t messageSize) {
  blocks->clear();
  std::FILE* in = tktPath ? media_open_for_reading(tktPath) : nullptr;
  if (!in) {
    std::snprintf(message, messageSize, "A TKT állomány nem nyitható meg: %s", tktPath);
    return false;
  }
  std::vector<uint8_t> image;
  const int read = media_read_whole(in, kMostImageBytes, &image);
  if (read != 1) {
    std::snprintf(message, messageSize, "A TKT állomány nem olvasható: %s", tktPath);
    return false;
  }
  *blocks = tape_blocks_of_image(image.data(), image.size());
  std::vector<uint64_t> pauses;
  for (size_t i = 0; i < blocks->size(); ++i)
    if (i > 0) pauses.push_back((*blocks)[i].start);
  if (blocks->empty()) {
    std::snprintf(message, messageSize, "%s: ez nem Tarvik kazettaállomány (nincs benne blokk).",
                  tktPath);
    return false;
  }
  SaveFile save;
  std::FILE* out = save_file_open(&save, wavPath);
  if (!out || !save_file_commit(&save, tape_encode_wav(out, image.data(), image.size(),
                                                       pauses.data(), pauses.size()))) {
    std::snprintf(message, messageSize, "A WAV állomány nem írható: %s", wavPath);
    return false;
  }
  message[0] = '\0';
  return true;
}
