// Pasting text as typed keys: the ROM's key-input instruction is replaced
// by a trap that hands over one character per poll.
#include <string>

#include "cpu/cpu.h"
#include "cpu/state_io.h"
#include "cpu/traps.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/paste.h"

namespace {

constexpr uint16_t kTarvikKeyInput = 0x0566; // leaves the held key's code in A
constexpr uint16_t kVeltraKeyInput = 0x0309; // carry and C: a new key press
constexpr uint16_t kVeltraKeyComplement = 0x404B;

// ED n, NOP in place of the 3-byte key-input instruction; the second
// record of each array ends it.
TrapRecord tarvikPasteTrap[2] = {{paste_next, kTarvikKeyInput, 3, 1, {0xED, 0, 0x00}, {}}, {}};
TrapRecord veltraPasteTrap[2] = {{paste_next, kVeltraKeyInput, 3, 1, {0xED, 0, 0x00}, {}}, {}};

std::string pasteText;
size_t pastePosition;
bool pasteHasText;
int previousCharacter = -1; // Tarvik: the character delivered last
TrapRecord* installed;

void finish(bool rerun) {
  pasteText.clear();
  pasteText.shrink_to_fit();
  pasteHasText = false;
  pastePosition = 0;
  previousCharacter = -1;
  if (!installed) return;
  const uint16_t address = static_cast<uint16_t>(installed->address);
  trap_remove(installed, memory);
  installed = nullptr;
  // The trap ran in place of the ROM's own instruction, whose bytes are back
  // now: run that instruction, so the key routine reads the real keyboard.
  if (rerun) cpu.pc = address;
}

} // namespace

uint8_t paste_translate_tarvik(uint8_t c) {
  switch (c) {
  case 0x0A: return 0;
  case 0xC1: return 0x40; // Á
  case 0xC9: return 0x5B; // É
  case 0xD6: return 0x5C; // Ö
  case 0xDC: return 0x5D; // Ü
  case 0xD3: return 0x5F; // Ó
  case 0xDA: return 0x95; // Ú
  case 0xDB: return 0x9D; // Ű
  case 0xE1: return 0x7F; // á
  case 0xE9: return 0x7B; // é
  case 0xED: return 0xA9; // í
  case 0xF3: return 0x7E; // ó
  case 0xF5: return 0xBC; // ő
  case 0xF6: return 0x7C; // ö
  case 0xFA: return 0xB5; // ú
  case 0xFB: return 0xBD; // ű
  case 0xFC: return 0x7D; // ü
  default: return c;
  }
}

uint8_t paste_translate_veltra(uint8_t c) {
  // The signs with keys of their own come first: "^" and "=" lie inside
  // the range that otherwise moves down by 0x20. The punctuation below
  // 0x30 would land on the letters' codes if passed unchanged ("." on "N"),
  // so it takes the codes the keyboard gives for it.
  switch (c) {
  case '!': return 0x6A;
  case '"': return 0x6B;
  case '#': return 0x6C;
  case '$': return 0x6D;
  case '%': return 0x6E;
  case '&': return 0x6F;
  case '\'': return 0x70;
  case '(': return 0x65;
  case ')': return 0x66;
  case ',': return 0x69;
  case '.': return 0x68;
  case 0x0A: return 0;
  case ' ': return 0x40;
  case '^': return 0x60;
  case '+': return 0x61;
  case '-': return 0x62;
  case '*': return 0x63;
  case '/': return 0x64;
  case '=': return 0x67;
  default: break;
  }
  if (c >= 0x30 && c <= 0x5F) return static_cast<uint8_t>(c - 0x20);
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c ^ 0x40);
  return c;
}

bool paste_begin(const char* text, size_t length) {
  if (!text || length == 0) return false;
  // A paste still running is replaced by the new one.
  finish(false);
  // Every line end is the Enter key once: CR LF (Windows text), a lone LF
  // (Linux and the browsers) and a lone CR alike.
  pasteText.clear();
  pasteText.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') continue;
    pasteText += text[i] == '\n' ? '\r' : text[i];
  }
  pastePosition = 0;
  pasteHasText = true;
  previousCharacter = -1;
  TrapRecord* record = model() == MODEL_VELTRA16 ? veltraPasteTrap : tarvikPasteTrap;
  if (!trap_install(record, memory)) {
    finish(false);
    return false;
  }
  installed = record;
  return true;
}

void paste_next(uint32_t*) {
  const bool veltra = model() == MODEL_VELTRA16;
  // Characters without a key (code 0) are skipped.
  while (pasteHasText && pastePosition < pasteText.size()) {
    const uint8_t c = static_cast<uint8_t>(pasteText[pastePosition]);
    const uint8_t code = veltra ? paste_translate_veltra(c) : paste_translate_tarvik(c);
    if (code == 0) {
      ++pastePosition;
      continue;
    }
    if (veltra) {
      cpu.bc.l = code;
      machine_write(kVeltraKeyComplement, static_cast<uint8_t>(~code));
      cpu.af.l |= FLAG_C;
      ++pastePosition;
    } else if (c == previousCharacter) {
      // The same key twice: a release in between makes it a new press.
      cpu.af.h = 0;
      previousCharacter = -1;
    } else {
      cpu.af.h = code;
      previousCharacter = c;
      ++pastePosition;
    }
    return;
  }
  finish(true);
}

bool paste_active() { return installed != nullptr; }

void paste_drop() {
  pasteText.clear();
  pasteHasText = false;
}

void paste_cancel() { finish(false); }

namespace {
enum : uint32_t { kTarvikPasteSet = 2, kVeltraPasteSet = 3 };
}

void paste_connect() {
  trap_declare_set(kTarvikPasteSet, tarvikPasteTrap);
  trap_declare_set(kVeltraPasteSet, veltraPasteTrap);
}

void paste_state_save(StateWriter& w) {
  w.u8(installed == tarvikPasteTrap ? 1 : installed == veltraPasteTrap ? 2 : 0);
  w.u8(pasteHasText ? 1 : 0);
  w.i32(previousCharacter);
  w.u32(static_cast<uint32_t>(pastePosition));
  w.u32(static_cast<uint32_t>(pasteText.size()));
  w.bytes(pasteText.data(), pasteText.size());
}

// The trap slots come back with the "TRAP" record; here only which record
// the paste removes when it ends.
bool paste_state_load(StateReader& r, bool apply) {
  const uint8_t which = r.u8();
  const uint8_t hasText = r.u8();
  const int32_t previous = r.i32();
  const uint32_t position = r.u32();
  const uint32_t length = r.u32();
  const uint8_t* text = r.view(length);
  if (!r.ok() || which > 2 || hasText > 1 || previous < -1 || previous > 255 || position > length)
    return r.fail();
  if (!apply) return true;
  pasteText.assign(reinterpret_cast<const char*>(text), length);
  pastePosition = position;
  pasteHasText = hasText != 0;
  previousCharacter = previous;
  installed = which == 1 ? tarvikPasteTrap : which == 2 ? veltraPasteTrap : nullptr;
  return true;
}
