// Shared helpers of the fuzz targets: each target hands the fuzzer's bytes
// to the program's real command the way the program does, through a file
// in a private folder of this process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The private folder (made on first use, ends with '/').
const std::string& fuzz_folder();
// Writes the bytes to NAME in the private folder and returns its path.
std::string fuzz_write_file(const char* name, const uint8_t* data, size_t size);
// The machine on a model at the largest RAM size, brought up afresh when the
// model changes, with the headless clock standing still (so that nothing
// sleeps), and its cycle counter at 0.
void fuzz_machine(uint32_t model);
// True when the text could name a file outside the private folder: the
// targets that let the input choose file names skip such inputs.
bool fuzz_names_outside(const std::string& text);
