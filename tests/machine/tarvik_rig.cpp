// The firmware test board (see tarvik_rig.h).
#include "tarvik_rig.h"

#include <cstring>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/traps.h"

extern const uint8_t builtinTarvik31Rom[16384];
extern const uint8_t builtinTarvik41Rom[16384];
extern const uint8_t builtinDorvaneRom[16384];
extern const uint8_t builtinDorvaneExtRom[4096];

namespace rig {

uint8_t mem[0x20000];
uint8_t keys[16];
std::vector<Edge> outEdges;
std::vector<PortWrite> portWrites;
std::string printerText;
bool printerNamed;
std::function<int(int64_t)> tapeInput;
std::vector<uint8_t> speechBytes;
std::vector<uint8_t> tapeImage;
size_t tapeImagePos;
std::vector<uint8_t> tapeSaved;

namespace {

int model;
uint32_t ramTop;
uint32_t high = 0x10000;
uint32_t col32;
int outLatch;
bool retrace;
// Speech chip: stopped, bytes of the frame, time when the frame is taken.
bool speechStopped = true;
int speechCount;
int64_t speechReadyAt;

bool paged() { return ramTop == 0xB7FF || ramTop == 0xD7FF || ramTop == 0xF7FF; }

uint8_t key_column(uint16_t a) { return static_cast<uint8_t>(~keys[a & 0x0F] | 0xF0); }

uint8_t read(uint16_t a) {
  switch (a & 0xF000) {
  case 0x0000:
  case 0x1000:
  case 0x2000:
  case 0x3000: return mem[a];
  case 0x4000:
  case 0x5000:
  case 0x6000:
  case 0x7000: return a <= ramTop + 0x4000 ? mem[a] : 0xFF;
  case 0x8000:
  case 0x9000:
  case 0xA000:
  case 0xB000: return paged() ? mem[high | a] : 0xFF;
  case 0xC000:
    if (ramTop != 0xF7FF) return 0xFF;
    return high ? mem[0x3000 + (a & 0x0FFF)] : mem[a];
  case 0xD000:
    if (ramTop != 0xF7FF) return 0xFF;
    if (!high) return mem[a];
    return model == 2 ? builtinDorvaneExtRom[a & 0x0FFF] : 0xFF;
  case 0xE000: {
    int level = (a & 0x80) ? 1 : 0;
    if (level != outLatch) {
      outLatch = level;
      outEdges.push_back({cpu.tcount, level});
    }
    if (a == 0xE883) return static_cast<uint8_t>((tapeInput ? tapeInput(cpu.tcount) : 0) | 0xFE);
    if (high != 0x10000 && ramTop != 0x77FF) {
      if (!high && ramTop == 0xF7FF) return mem[a];
      return mem[col32 | a | 0x0800];
    }
    if (a == 0xE802) return static_cast<uint8_t>((key_column(a) & 0x0E) | (retrace ? 1 : 0));
    if ((a & 0xF7F0) == 0xE000) return key_column(a);
    return 0xFF;
  }
  default:
    if (!high && ramTop == 0xF7FF) return mem[0x10000 | a];
    return mem[col32 | a | 0x0800];
  }
}

void write(uint16_t a, uint8_t v) {
  switch (a & 0xF000) {
  case 0x0000:
  case 0x1000:
  case 0x2000:
  case 0x3000: return;
  case 0x4000:
  case 0x5000:
  case 0x6000:
  case 0x7000: mem[a] = v; return;
  case 0x8000:
  case 0x9000:
  case 0xA000:
  case 0xB000: mem[high | a] = v; return;
  case 0xC000:
  case 0xD000:
    if (!high) mem[a] = v;
    return;
  case 0xE000: mem[a] = v; return;
  default:
    if (!high && ramTop == 0xF7FF)
      mem[0x10000 | a] = v;
    else
      mem[col32 | a | 0x0800] = v;
  }
}

void page(uint8_t port) {
  if (ramTop == 0xF7FF) high = (port & 0x80) ? 0x10000 : 0;
}

uint8_t port_in(uint8_t port) {
  page(port);
  if (!(port & 0x40)) return 0;
  if (model == 2 && (port == 0xF8 || port == 0xF9))
    return (speechStopped || speechCount < 4 || cpu.tcount >= speechReadyAt) ? 0x80 : 0x00;
  return 0xFF;
}

void port_out(uint8_t port, uint8_t value) {
  portWrites.push_back({port, value, cpu.tcount});
  page(port);
  if (!(port & 0x40)) {
    mem[port & 3] = value; // the parallel interface latches into the ROM copy
    if ((port & 3) == 3 && value == 0x80) printerNamed = true;
    if ((port & 3) == 0 && printerNamed) printerText += static_cast<char>(value);
  }
  if (model == 2 && port == 0xF9 && (value & 0x10)) {
    speechStopped = true;
    speechCount = 0;
  }
  if (model == 2 && port == 0xF8) {
    speechBytes.push_back(value);
    if (speechStopped) {
      speechStopped = false;
      speechCount = 0;
    } else {
      if (speechCount >= 4 && cpu.tcount >= speechReadyAt) speechCount = 0;
      if (++speechCount == 4) speechReadyAt = cpu.tcount + 24000; // taken after 8 ms
    }
  }
}

// ---- paste ----
std::string pasteText;
size_t pastePos;
int pastePrevious = -1;
TrapRecord pasteTrap[2];

void paste_next(uint32_t*) {
  if (pastePos < pasteText.size()) {
    int c = static_cast<uint8_t>(pasteText[pastePos]);
    if (c == pastePrevious) {
      cpu.af.h = 0;
      pastePrevious = -1;
    } else {
      cpu.af.h = static_cast<uint8_t>(c == '\n' ? 0 : c);
      pastePrevious = c;
      ++pastePos;
    }
    return;
  }
  cpu.af.h = 0;
  trap_remove(&pasteTrap[0], mem);
}

// ---- tape traps ----
TrapRecord tapeTraps[4];

// An attached image gives its bytes, then one 0xFF, then one call that
// leaves A and F alone and detaches it; with none attached every read is 0.
void trap_read(uint32_t*) {
  uint8_t b = 0;
  if (!tapeImage.empty()) {
    if (tapeImagePos < tapeImage.size()) {
      b = tapeImage[tapeImagePos++];
    } else if (tapeImagePos == tapeImage.size()) {
      b = 0xFF;
      ++tapeImagePos;
    } else {
      tapeImage.clear();
      tapeImagePos = 0;
      return;
    }
  }
  cpu.af.h = b;
  cpu.af.l = static_cast<uint8_t>((cpu.af.l & ~(FLAG_Z | FLAG_C)) | FLAG_C | (b ? 0 : FLAG_Z));
}

void trap_write(uint32_t*) { tapeSaved.push_back(cpu.af.h); }

void trap_save(uint32_t*) {
  cpu.hl.w = 0x06C9;
  mem[0x400C] = 0xC9;
  mem[0x400D] = 0x06;
  tapeSaved.clear();
}

} // namespace

void reset(int m, uint32_t top) {
  trap_remove(&pasteTrap[0], mem);
  for (int k = 0; k < 3; ++k) trap_remove(&tapeTraps[k], mem);
  model = m;
  ramTop = top;
  high = 0x10000;
  col32 = 0;
  outLatch = 0;
  retrace = false;
  speechStopped = true;
  speechCount = 0;
  std::memset(mem, 0, sizeof mem);
  const uint8_t* rom = m == 0   ? builtinTarvik31Rom
                       : m == 1 ? builtinTarvik41Rom
                                : builtinDorvaneRom;
  std::memcpy(mem, rom, 16384);
  std::memset(keys, 0, sizeof keys);
  outEdges.clear();
  portWrites.clear();
  printerText.clear();
  printerNamed = false;
  tapeInput = nullptr;
  speechBytes.clear();
  tapeImage.clear();
  tapeImagePos = 0;
  tapeSaved.clear();
  pasteText.clear();
  pastePos = 0;
  pastePrevious = -1;
  event_init();
  cpu_set_memory_routines(read, write);
  cpu_set_port_routines(port_in, port_out);
  cpu_init(3000000);
  cpu.tcount = 0;
}

void set_32_columns(bool on) { col32 = on ? 1 : 0; }

void run_frames(int n) {
  for (int i = 0; i < n; ++i) {
    retrace = false;
    cpu_run(192 * 256);
    retrace = true;
    cpu_run(192 * 56 - 96);
  }
}

int run_until(const std::function<bool()>& done, int maxFrames) {
  for (int i = 0; i <= maxFrames; ++i) {
    if (done()) return i;
    run_frames(1);
  }
  return -1;
}

std::string row(int y) {
  std::string s;
  const bool cursorShown = mem[0x4004] & 0x80;
  const uint16_t cursor = word(0x4000);
  for (int x = 0; x < 64; ++x) {
    const uint16_t a = static_cast<uint16_t>(0xF800 + y * 64 + x);
    uint8_t c = cursorShown && a == cursor ? mem[0x4005] : mem[a];
    s += c < 0x20 ? '.' : static_cast<char>(c);
  }
  return s;
}

std::string screen() {
  std::string s;
  for (int y = 0; y < 32; ++y) s += row(y) + "\n";
  return s;
}

bool screen_has(const std::string& text) { return screen().find(text) != std::string::npos; }

std::string last_line() {
  for (int y = 31; y >= 0; --y) {
    std::string r = row(y);
    size_t end = r.find_last_not_of(' ');
    if (end != std::string::npos) return r.substr(0, end + 1);
  }
  return "";
}

void press(int column, int bit, bool shift, int frames) {
  if (shift) keys[2] |= 0x04;
  keys[column] |= static_cast<uint8_t>(1 << bit);
  run_frames(frames);
  keys[column] &= static_cast<uint8_t>(~(1 << bit));
  if (shift) keys[2] &= static_cast<uint8_t>(~0x04);
  run_frames(frames);
}

void type(const std::string& text) {
  static const char* const plain[16] = {"",     " \r",  "",     "",     "0123", "4567",
                                        "89:;", ",=.?", "^a.b", "cde.", "fghi", "jklm",
                                        "no..", "pqrs", "tu.v", "wxyz"};
  static const char* const shifted[16] = {"",     "",     "",     "",     ".!\"#", "$%&'",
                                          "()*+", "<->/", ".A.B", "CDE.", "FGHI",  "JKLM",
                                          "NO..", "PQRS", "TU.V", "WXYZ"};
  for (char c : text) {
    bool done = false;
    for (int col = 0; col < 16 && !done; ++col)
      for (int bit = 0; bit < 4 && !done; ++bit) {
        if (plain[col][0] && static_cast<int>(std::strlen(plain[col])) > bit &&
            plain[col][bit] == c && c != '.') {
          press(col, bit);
          done = true;
        } else if (shifted[col][0] && static_cast<int>(std::strlen(shifted[col])) > bit &&
                   shifted[col][bit] == c && c != '.') {
          press(col, bit, true);
          done = true;
        }
      }
    if (!done && c == '.') {
      press(7, 2);
      done = true;
    }
  }
}

void paste(const std::string& text) {
  pasteText = text;
  pastePos = 0;
  pastePrevious = -1;
  pasteTrap[0] = TrapRecord{};
  pasteTrap[0].handler = paste_next;
  pasteTrap[0].address = 0x0566;
  pasteTrap[0].patchLength = 3;
  pasteTrap[0].slotOffset = 1;
  pasteTrap[0].patch[0] = 0xED;
  pasteTrap[0].patch[2] = 0x00;
  pasteTrap[1] = TrapRecord{};
  trap_install(pasteTrap, mem);
}

bool paste_done() { return pastePos >= pasteText.size(); }

void tape_attach(const std::vector<uint8_t>& image) {
  tapeImage = image;
  tapeImagePos = 0;
}

void tape_traps_install() {
  for (auto& t : tapeTraps) t = TrapRecord{};
  tapeTraps[0].handler = trap_read;
  tapeTraps[0].address = 0x067C;
  tapeTraps[0].patchLength = 31;
  tapeTraps[0].slotOffset = 4;
  tapeTraps[1].handler = trap_write;
  tapeTraps[1].address = 0x06CC;
  tapeTraps[1].patchLength = 22;
  tapeTraps[1].slotOffset = 4;
  for (int k = 0; k < 2; ++k) {
    tapeTraps[k].patch[1] = 0xD3;
    tapeTraps[k].patch[2] = 0xFF;
    tapeTraps[k].patch[3] = 0xED;
  }
  tapeTraps[2].handler = trap_save;
  tapeTraps[2].address = 0x06AD;
  tapeTraps[2].patchLength = 6;
  tapeTraps[2].slotOffset = 1;
  tapeTraps[2].patch[0] = 0xED;
  trap_install(tapeTraps, mem);
}

uint16_t word(uint16_t address) {
  return static_cast<uint16_t>(mem[address] | mem[address + 1] << 8);
}

void nmi() { nmi_pulse(); }

} // namespace rig
