// The tape browser's list, kept for the file in the deck.
#include "media/tape_list.h"

#include <cstdio>

#include "media/files.h"
#include "media/tape.h"
#include "media/tape_decode.h"
#include "media/wav_tape.h"

namespace {

TapeList list;
// The file the list was made for: its kind and the serial of its deck.
TapeListKind madeKind = TAPE_LIST_NONE;
uint32_t madeSerial = 0;
bool made = false;

const char* base_name(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

// Which tape the machine reads: the image while the traps are in the ROM,
// else a WAV tape being played, else an image all the same (the Veltra-16
// has no traps, but the image is in the deck).
TapeListKind deck_kind() {
  if (tapeFile && tape_traps_installed()) return TAPE_LIST_IMAGE;
  if (wav_tape_playing()) return TAPE_LIST_WAV;
  return tapeFile ? TAPE_LIST_IMAGE : TAPE_LIST_NONE;
}

void drop_data(std::vector<TapeBlock>* blocks) {
  for (TapeBlock& b : *blocks) {
    b.data.clear();
    b.data.shrink_to_fit();
  }
}

void make(TapeListKind kind) {
  list = TapeList{};
  list.kind = kind;
  if (kind == TAPE_LIST_NONE) {
    list.notice = wavFile ? "A magnó most felvesz: a felvétel blokkjai nem láthatók."
                          : "Nincs csatolt kazetta (TKT vagy WAV).";
    return;
  }
  if (kind == TAPE_LIST_IMAGE) {
    list.file = base_name(tapeFileName);
    list.blocks = tape_blocks_of_image(tapeFile->bytes.data(), tapeFile->bytes.size());
  } else {
    const char* path = wav_tape_playing();
    list.file = base_name(path);
    std::FILE* f = media_open_for_reading(path);
    char reason[200] = "";
    if (!f) {
      list.notice = "A WAV állomány nem olvasható: " + list.file;
      return;
    }
    const bool decoded = tape_decode_wav(f, &list.blocks, reason, sizeof reason);
    std::fclose(f);
    if (!decoded) {
      list.notice = list.file + ": " + reason;
      return;
    }
  }
  drop_data(&list.blocks);
  if (list.blocks.empty())
    list.notice = list.file + (kind == TAPE_LIST_WAV ? ": a felvételben nincs Tarvik blokk."
                                                     : ": a kazettában nincs Tarvik blokk.");
}

uint64_t deck_position() {
  if (list.kind == TAPE_LIST_IMAGE) return tapeFile ? tapeFile->position : 0;
  return wav_tape_position();
}

} // namespace

const TapeList& tape_list() {
  const TapeListKind kind = deck_kind();
  const uint32_t serial = kind == TAPE_LIST_IMAGE ? tape_image_serial()
                          : kind == TAPE_LIST_WAV ? wav_tape_serial()
                                                  : 0;
  // An empty deck's notice is made every time: it says whether the
  // recorder runs.
  if (!made || kind != madeKind || serial != madeSerial || kind == TAPE_LIST_NONE) {
    make(kind);
    made = true;
    madeKind = kind;
    madeSerial = serial;
  }
  return list;
}

bool tape_list_place(TapePlace* place) {
  const TapeList& l = tape_list();
  if (l.blocks.empty()) return false;
  *place = TapePlace{};
  place->at = deck_position();
  for (size_t i = 0; i < l.blocks.size(); ++i) {
    const TapeBlock& b = l.blocks[i];
    place->block = i;
    if (place->at < b.start) {
      place->kind = TAPE_PLACE_BEFORE;
      return true;
    }
    if (place->at <= b.last) {
      place->kind = TAPE_PLACE_IN;
      return true;
    }
  }
  place->kind = TAPE_PLACE_AFTER_LAST;
  return true;
}

std::string tape_list_place_text() {
  TapePlace place;
  if (!tape_list_place(&place)) return list.notice;
  char at[64];
  if (list.kind == TAPE_LIST_IMAGE) {
    std::snprintf(at, sizeof at, "%llu. bájt", static_cast<unsigned long long>(place.at));
  } else {
    // The decoder counts samples of the file's own rate.
    const uint32_t rate = wav_tape_rate();
    std::snprintf(at, sizeof at, "%.1f mp (%llu. minta)",
                  rate ? static_cast<double>(place.at) / rate : 0.0,
                  static_cast<unsigned long long>(place.at));
  }
  char line[160];
  const unsigned number = static_cast<unsigned>(place.block + 1);
  if (place.kind == TAPE_PLACE_IN)
    std::snprintf(line, sizeof line, "Pozíció: %s, a(z) %u. blokkban.", at, number);
  else if (place.kind == TAPE_PLACE_BEFORE)
    std::snprintf(line, sizeof line, "Pozíció: %s, a(z) %u. blokk előtt.", at, number);
  else
    std::snprintf(line, sizeof line, "Pozíció: %s, az utolsó blokk után.", at);
  return line;
}

bool tape_list_wind(size_t index) {
  const TapeList& l = tape_list();
  if (index >= l.blocks.size()) return false;
  const uint64_t start = l.blocks[index].start;
  if (l.kind == TAPE_LIST_IMAGE) return tape_wind_to(static_cast<size_t>(start));
  return wav_wind_to(start);
}

TapeListRow tape_list_row(const TapeBlock& block) {
  TapeListRow row;
  for (char c : block.name) row.name += c >= 0x20 && c < 0x7F ? c : '?';
  const unsigned last = (block.address + (block.length ? block.length - 1u : 0u)) & 0xFFFFu;
  char text[32];
  std::snprintf(text, sizeof text, "%04X-%04X", block.address, last);
  row.range = text;
  row.length = std::to_string(block.length);
  row.check = !block.complete ? "csonka" : block.checksumOk ? "jó" : "hibás";
  return row;
}
