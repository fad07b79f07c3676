// Shared set-up of the machine tests: a freshly brought-up machine of a
// given model and RAM size, host keys released, built-in ROMs.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "cpu/cpu.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/paste.h"

// Brings the machine up as at program start with these settings.
void bring_up(uint32_t model, uint32_t ramIndex = 6);
// Copies a program into memory (directly, like a loader) and points PC at it.
void load_program(const uint8_t* bytes, size_t length, uint16_t address);
// Presses or releases a host key.
void press(int vk);
void release(int vk);
// Runs single instructions until PC reaches `address` or the limit of
// instructions is used up; true when it got there.
bool run_until_pc(uint16_t address, int limit);

class MachineTest : public ::testing::Test {
protected:
  void TearDown() override;
};

// The e2e and boot programs, assembled at build time.
extern const uint8_t e2eTarvikProgram[];
extern const uint32_t e2eTarvikProgram_size;
extern const uint8_t e2eVeltraProgram[];
extern const uint32_t e2eVeltraProgram_size;
