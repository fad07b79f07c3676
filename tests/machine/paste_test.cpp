// Pasted text with the line ends of every system: each is one Enter, in the
// key-input trap and for the firmware that reads the lines.
#include <vector>

#include "firmware_helpers.h"

namespace {

class PasteLineEnds : public MachineTest {};

// The key poll as the ROM makes it.
int tarvik_key() {
  cpu.pc = 0x0566;
  cpu_run(0);
  return cpu.af.h;
}

TEST_F(PasteLineEnds, LfCrAndCrLfAreEachOneEnter) {
  bring_up(MODEL_TARVIK41);
  const char text[] = "a\nb\rc\r\nd\n\ne";
  ASSERT_TRUE(paste_begin(text, sizeof text - 1));
  std::vector<int> typed;
  for (int i = 0; i < 11; ++i) typed.push_back(tarvik_key());
  // Two Enters in a row are two presses: a release comes between them.
  EXPECT_EQ(typed, (std::vector<int>{'a', 13, 'b', 13, 'c', 13, 'd', 13, 0, 13, 'e'}));
}

TEST_F(PasteLineEnds, TheFirmwareRunsEachPastedLine) {
  fw::boot(MODEL_TARVIK41);
  const char text[] = "M 4100 3E 42\nM 4102 43\n";
  ASSERT_TRUE(paste_begin(text, sizeof text - 1));
  ASSERT_GE(fw::frames_until([] { return !paste_active() && fw::at_prompt(); }, 300), 0)
      << fw::screen();
  EXPECT_EQ(memory[0x4100], 0x3E) << fw::screen();
  EXPECT_EQ(memory[0x4101], 0x42);
  EXPECT_EQ(memory[0x4102], 0x43);
}

} // namespace
