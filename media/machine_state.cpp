// The complete machine state: the header, the records of every layer in
// their order, the checksum, and the file.
#include "media/machine_state.h"

#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/state_io.h"
#include "cpu/traps.h"
#include "machine/beeper_output.h"
#include "machine/cassette.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/mea8000.h"
#include "machine/memory.h"
#include "machine/paste.h"
#include "machine/ports.h"
#include "machine/printer.h"
#include "machine/rom.h"
#include "machine/video.h"
#include "media/files.h"
#include "media/save_file.h"
#include "media/tape.h"
#include "media/wav_tape.h"

namespace {

constexpr char kMagic[4] = {'T', 'K', 'M', 'S'};
constexpr size_t kHeaderBytes = 8;
constexpr size_t kChecksumBytes = 4;

// The order is the order of the load: the model and RAM size first (the
// switch resets memory, the CPU and the devices), the deck before the
// cassette socket and the beeper (closing a tape sets both), the traps
// after everything that installs or removes them, the event list after
// everything that adds or removes events, the registers last.
const StateRecordType kRecords[] = {
    {"MACH", 1, machine_state_record_save, machine_state_record_load},
    {"MEM ", 1, memory_state_save, memory_state_load},
    {"ROMS", 1, rom_state_save, rom_state_load},
    {"VID ", 1, video_state_save, video_state_load},
    {"KEYS", 1, keyboard_state_save, keyboard_state_load},
    {"PORT", 1, ports_state_save, ports_state_load},
    {"MEA ", 1, mea_state_save, mea_state_load},
    {"PRNT", 1, printer_state_save, printer_state_load},
    {"PAST", 1, paste_state_save, paste_state_load},
    {"TAPE", 1, tape_state_save, tape_state_load},
    {"WAVT", 2, wav_state_save, wav_state_load},
    {"BEEP", 1, beeper_output_state_save, beeper_output_state_load},
    {"CASS", 1, cassette_state_save, cassette_state_load},
    {"TRAP", 1, trap_state_save, trap_state_load},
    {"EVNT", 1, event_state_save, event_state_load},
    {"CPU ", 1, cpu_state_save, cpu_state_load},
};
constexpr size_t kRecordCount = sizeof kRecords / sizeof kRecords[0];

uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void say(char* message, size_t size, const char* text) {
  if (message && size) std::snprintf(message, size, "%s", text);
}

// The header, the checksum and every record checked; nothing changes.
bool check(const uint8_t* data, size_t size, char* message, size_t messageSize) {
  if (!data || size < 4 || std::memcmp(data, kMagic, 4) != 0) {
    say(message, messageSize, "Ez nem Tarvik gépállapot (TKM) állomány.");
    return false;
  }
  if (size < kHeaderBytes + kChecksumBytes) {
    say(message, messageSize, "A gépállapot csonka.");
    return false;
  }
  const uint16_t version = static_cast<uint16_t>(data[4] | data[5] << 8);
  if (version != MACHINE_STATE_VERSION) {
    if (message && messageSize)
      std::snprintf(message, messageSize,
                    "A gépállapot %u. változatú; ez a program a %u. változatot olvassa.", version,
                    MACHINE_STATE_VERSION);
    return false;
  }
  const size_t body = size - kChecksumBytes;
  if (state_crc32(data, body) != le32(data + body)) {
    say(message, messageSize, "A gépállapot sérült (az ellenőrzőösszeg nem egyezik).");
    return false;
  }
  const uint8_t model = data[6], ram = data[7];
  if (model >= MODEL_COUNT || ram >= kRamSizes) {
    say(message, messageSize, "A gépállapot hibás: ismeretlen gép vagy memóriaméret.");
    return false;
  }
  // The header's model and RAM size are the machine record's.
  if (body < kHeaderBytes + kStateRecordHeader + 8 || le32(data + kHeaderBytes + 10) != model ||
      le32(data + kHeaderBytes + 14) != ram) {
    say(message, messageSize, "A gépállapot hibás: a fejléc és a gép adatai eltérnek.");
    return false;
  }
  StateReader records(data + kHeaderBytes, body - kHeaderBytes);
  return state_read_records(records, kRecords, kRecordCount, false, message, messageSize);
}

} // namespace

void machine_state_save(std::vector<uint8_t>& out) {
  out.clear();
  StateWriter w(out);
  for (char c : kMagic) w.u8(static_cast<uint8_t>(c));
  w.u16(MACHINE_STATE_VERSION);
  w.u8(static_cast<uint8_t>(machineState.currentModel));
  w.u8(static_cast<uint8_t>(machineState.ramSizeIndex));
  state_write_records(w, kRecords, kRecordCount);
  w.u32(state_crc32(out.data(), out.size()));
}

bool machine_state_load(const uint8_t* data, size_t size, char* message, size_t messageSize) {
  say(message, messageSize, "");
  if (!check(data, size, message, messageSize)) return false;
  StateReader records(data + kHeaderBytes, size - kHeaderBytes - kChecksumBytes);
  char unexpected[256];
  if (!state_read_records(records, kRecords, kRecordCount, true, unexpected, sizeof unexpected)) {
    // Cannot happen after the check; said rather than hidden.
    say(message, messageSize, unexpected);
    return false;
  }
  if (const char* notice = wav_state_notice())
    say(message, messageSize, notice);
  else if (rom_state_differs())
    say(message, messageSize, "A gépállapot más ROM-készlettel készült; a mostanival fut tovább.");
  return true;
}

bool machine_state_save_file(const char* path) {
  std::vector<uint8_t> bytes;
  machine_state_save(bytes);
  SaveFile save;
  std::FILE* f = save_file_open(&save, path);
  if (!f) return false;
  return save_file_commit(&save, std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
}

bool machine_state_load_file(const char* path, char* message, size_t messageSize) {
  std::FILE* f = path ? media_open_for_reading(path) : nullptr;
  if (!f) {
    say(message, messageSize, "A gépállapot-állomány nem nyitható meg.");
    return false;
  }
  std::vector<uint8_t> bytes;
  const int read = media_read_whole(f, MACHINE_STATE_MOST_BYTES, &bytes);
  if (read != 1) {
    say(message, messageSize,
        read < 0 ? "Ez nem Tarvik gépállapot (TKM) állomány."
                 : "A gépállapot-állomány nem olvasható.");
    return false;
  }
  return machine_state_load(bytes.data(), bytes.size(), message, messageSize);
}
