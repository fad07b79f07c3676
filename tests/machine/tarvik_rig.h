// A small Tarvik board on the CPU core for the firmware's own tests: the
// memory map of models 0-2 (ROM, RAM by size, 64 KB paging, keyboard
// columns, sound/tape output latch, tape input bit, video RAM), the port
// routines (printer, speech-chip status) and a recorder of everything the
// firmware sends out. It lets a test drive the tape input bit by bit and
// look at output edges with their exact times, which the full machine
// does not expose.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rig {

struct Edge {
  int64_t time;
  int level;
};

struct PortWrite {
  uint8_t port;
  uint8_t value;
  int64_t time;
};

extern uint8_t mem[0x20000];
extern uint8_t keys[16];                  // pressed keys per column, bit n = row n
extern std::vector<Edge> outEdges;        // sound/tape output level changes
extern std::vector<PortWrite> portWrites; // every OUT
extern std::string printerText;           // printer data bytes after the naming command
extern bool printerNamed;
extern std::function<int(int64_t)> tapeInput; // input bit at a cycle time; null: 0
extern std::vector<uint8_t> speechBytes;      // data-port bytes given to the speech chip

// Puts the model's ROM (and the Dorvane extension) in place, clears RAM,
// initialises the CPU at 3 MHz and resets it. ramTop as the machine's RAM
// size table: 0x0FFF, 0x17FF, 0x1FFF, 0x77FF, 0xB7FF or 0xF7FF.
void reset(int model, uint32_t ramTop);
void set_32_columns(bool on);
void run_frames(int n);
// Runs frames until the predicate holds or the frame limit passes; returns
// the frames run, or -1.
int run_until(const std::function<bool()>& done, int maxFrames);

// Screen text of a row as it shows with the cursor taken away (64 codes as
// characters; codes below 0x20 as '.').
std::string row(int y);
std::string screen();
bool screen_has(const std::string& text);
// The row that holds the cursor's line (the last non-empty one).
std::string last_line();

// Key presses through the matrix: held for `frames`, released for as many.
void press(int column, int bit, bool shift = false, int frames = 3);
// Types plain text through the matrix (digits, letters, space, Enter as '\r').
void type(const std::string& text);

// Paste through the key-poll trap at 0x0566 (A gets each code; a repeated
// character is preceded by one 0).
void paste(const std::string& text);
bool paste_done();

// TKT-style tape traps at 0x067C, 0x06CC and 0x06AD: reads come from
// tapeImage, the save writes into tapeSaved.
extern std::vector<uint8_t> tapeImage;
extern size_t tapeImagePos;
extern std::vector<uint8_t> tapeSaved;
void tape_traps_install();
void tape_attach(const std::vector<uint8_t>& image);

uint16_t word(uint16_t address);
void nmi();

} // namespace rig
