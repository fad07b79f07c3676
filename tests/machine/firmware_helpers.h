// Helpers of the firmware tests on the machine layer: the screen as text,
// frames until a condition, keys through the host key state, commands
// through paste, Hungarian text as screen codes, and a beep counter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "machine_fixture.h"

namespace fw {

// A row of the screen as it shows with the cursor taken away (codes below
// 0x20 as '.'), without trailing blanks.
std::string row(int y);
std::string screen();
bool screen_has(const std::string& text);
std::string last_line();
bool at_prompt();
// The rows from the first one that holds `marker` down to the last one
// that is not empty.
std::vector<std::string> output_after(const std::string& marker);

// Frames until done() holds; -1 when `limit` frames pass first.
template <typename F> int frames_until(F done, int limit) {
  for (int i = 0; i <= limit; ++i) {
    if (done()) return i;
    run_frame();
  }
  return -1;
}

// Brings the machine up and runs it to the prompt.
void boot(uint32_t model, uint32_t ramIndex = 3);
// A host key held for three frames, then released for three.
void tap(int vk, bool shift = false);
// Capitals, digits 1-9, space, '.' and Enter ('\r') through the keys.
void type_keys(const std::string& text);
// Pastes the line with Enter and runs to the next prompt.
void command(const std::string& line, int limit = 200);

// Screen codes of a Hungarian text (UTF-8 source text).
std::string codes(const std::string& utf8);

uint16_t word(uint16_t address);

// Counts the changes of the beeper level seen by the sound output.
void beeps_listen();
int beeps_counted();
void beeps_stop();

} // namespace fw
