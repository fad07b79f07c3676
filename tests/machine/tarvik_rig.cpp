// The bare board of the tape-format tests (see tarvik_rig.h).
#include "tarvik_rig.h"

#include <cstring>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/traps.h"

extern const uint8_t builtinTarvik41Rom[16384];

namespace rig {

uint8_t mem[0x10000];
std::vector<Edge> outEdges;
std::function<int(int64_t)> tapeInput;

namespace {

int outLatch;

uint8_t read(uint16_t a) {
  if (a < 0x8000) return mem[a];
  if ((a & 0xF000) == 0xE000) {
    const int level = (a & 0x80) ? 1 : 0;
    if (level != outLatch) {
      outLatch = level;
      outEdges.push_back({cpu.tcount, level});
    }
    if (a == 0xE883) return static_cast<uint8_t>((tapeInput ? tapeInput(cpu.tcount) : 0) | 0xFE);
    return 0xFF; // no key down
  }
  if (a >= 0xF000) return mem[a | 0x0800];
  return 0xFF;
}

void write(uint16_t a, uint8_t v) {
  if (a >= 0x4000 && a < 0x8000) mem[a] = v;
  if (a >= 0xF000) mem[a | 0x0800] = v;
}

uint8_t port_in(uint8_t port) { return (port & 0x40) ? 0xFF : 0x00; }
void port_out(uint8_t, uint8_t) {}

std::string pasteText;
size_t pastePos;
int pastePrevious = -1;
TrapRecord pasteTrap[2];

// Delivers the next character in A; a repeated one is preceded by a 0.
void paste_next(uint32_t*) {
  if (pastePos < pasteText.size()) {
    const int c = static_cast<uint8_t>(pasteText[pastePos]);
    if (c == pastePrevious) {
      cpu.af.h = 0;
      pastePrevious = -1;
    } else {
      cpu.af.h = static_cast<uint8_t>(c);
      pastePrevious = c;
      ++pastePos;
    }
    return;
  }
  cpu.af.h = 0;
  trap_remove(&pasteTrap[0], mem);
}

} // namespace

void reset() {
  trap_remove(&pasteTrap[0], mem);
  outLatch = 0;
  std::memset(mem, 0, sizeof mem);
  std::memcpy(mem, builtinTarvik41Rom, 16384);
  outEdges.clear();
  tapeInput = nullptr;
  pasteText.clear();
  pastePos = 0;
  event_init();
  cpu_set_memory_routines(read, write);
  cpu_set_port_routines(port_in, port_out);
  cpu_init(3000000);
  cpu.tcount = 0;
}

void run_frames(int n) {
  for (int i = 0; i < n; ++i) {
    cpu_run(192 * 256);
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
  const bool cursorShown = mem[0x4004] & 0x80;
  const uint16_t cursor = word(0x4000);
  std::string s;
  for (int x = 0; x < 64; ++x) {
    const uint16_t a = static_cast<uint16_t>(0xF800 + y * 64 + x);
    const uint8_t c = cursorShown && a == cursor ? mem[0x4005] : mem[a];
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
    const std::string r = row(y);
    const size_t end = r.find_last_not_of(' ');
    if (end != std::string::npos) return r.substr(0, end + 1);
  }
  return "";
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
  pasteTrap[1] = TrapRecord{};
  trap_install(pasteTrap, mem);
}

bool paste_done() { return pastePos >= pasteText.size(); }

uint16_t word(uint16_t address) {
  return static_cast<uint16_t>(mem[address] | mem[static_cast<uint16_t>(address + 1)] << 8);
}

} // namespace rig
