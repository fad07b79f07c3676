// A bare Tarvik board on the CPU core for the tests of the firmware's
// bit-level tape format: ROM at 0x0000, 16 KB of RAM at 0x4000, the sound
// and tape output latch of 0xE000-0xEFFF with the time of every change, the
// tape input bit at 0xE883 taken from a function of the cycle time, idle
// key columns and the video RAM. The machine layer exposes neither the exact
// output edges nor a way to drive the input bit by the T-state, which these
// tests need; everything else about the firmware is tested on the machine.
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

extern uint8_t mem[0x10000];
extern std::vector<Edge> outEdges;            // output level changes
extern std::function<int(int64_t)> tapeInput; // input bit at a cycle time; null: 0

// The Tarvik 4.1 ROM in place, RAM cleared, the CPU at 3 MHz reset.
void reset();
void run_frames(int n);
// Frames until done() holds; -1 when maxFrames pass first.
int run_until(const std::function<bool()>& done, int maxFrames);

// Screen text with the cursor taken away (codes below 0x20 as '.').
std::string row(int y);
std::string screen();
bool screen_has(const std::string& text);
std::string last_line();

// Paste through the key-poll trap at 0x0566.
void paste(const std::string& text);
bool paste_done();

uint16_t word(uint16_t address);

} // namespace rig
