// Shared helpers of the media tests: a machine brought to a known state,
// files in the test's temporary directory, and reading them back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/traps.h"
#include "host/headless/headless.h"
#include "host/output/status.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/paste.h"
#include "media/tape.h"
#include "media/wav_tape.h"

// Memory cleared with a recognisable ROM, the CPU initialised for the model
// with a fresh event list at tcount 0, and the tape traps in place (models
// 0-2).
void media_machine_reset(uint32_t model);
// The model's ROM as the memory reset copies it (without the patches).
const uint8_t* pristine_rom();

// A file name in the test's temporary directory, unique per test.
std::string temp_path(const std::string& name);
std::vector<uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);
bool file_exists(const std::string& path);
uint32_t le32(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t le16(const std::vector<uint8_t>& bytes, size_t offset);

class MediaTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
};
