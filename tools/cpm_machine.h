// A flat 64 KB machine that runs CP/M .COM programs on the Z80 core: the
// program at 0x0100, console output through BDOS functions 2 and 9 at
// 0x0005, and the end of the run when the program jumps to 0x0000.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct CpmRun {
  std::string output;       // what the program printed
  bool finished = false;    // the program jumped to 0x0000
  int64_t endTcount = 0;    // T-states when it did
  int64_t instructions = 0; // counted by cpm_run_counted only
};

extern uint8_t cpmMemory[65536];
extern CpmRun cpmRun;

// Loads the program and prepares the machine. Returns false with a message
// in error when the file cannot be read or does not fit.
bool cpm_load(const char* path, std::string& error);
// The same with the program's bytes (cut to the space below the BDOS).
void cpm_load_program(const uint8_t* program, size_t size);
// Runs until the program ends or the T-state limit (0 = none) is reached.
void cpm_run(int64_t limit);
// The same, one instruction per call of the core, counting instructions.
void cpm_run_counted(int64_t limit);
