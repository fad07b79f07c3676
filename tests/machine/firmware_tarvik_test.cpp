// The Tarvik firmware on the firmware test board: start-up, screen, keys,
// paste, monitor commands, tape traps, printer and speech ports.
#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "tarvik_rig.h"

namespace {

const char* const kBanner[3] = {"Tarvik 3.1 - Szabad ROM", "Tarvik 4.1 - Szabad ROM",
                                "Dorvane - Szabad ROM"};

bool at_prompt() { return rig::last_line() == ">"; }

void boot(int model, uint32_t ramTop = 0x77FF) {
  rig::reset(model, ramTop);
  ASSERT_GE(rig::run_until(at_prompt, 50), 0) << rig::screen();
}

TEST(FirmwareTarvik, EachModelShowsItsBannerAndPrompt) {
  for (int m = 0; m < 3; ++m) {
    rig::reset(m, 0x77FF);
    int frames = rig::run_until(at_prompt, 50);
    ASSERT_GE(frames, 0) << rig::screen();
    EXPECT_EQ(rig::row(0).substr(0, std::string(kBanner[m]).size()), kBanner[m]);
    EXPECT_TRUE(rig::screen_has("16 KB RAM")) << rig::screen();
  }
}

} // namespace

namespace {

TEST(FirmwareTarvik, TypedCommandRuns) {
  boot(1);
  rig::type("T\r");
  EXPECT_EQ(rig::row(0), ">" + std::string(63, ' ')) << rig::screen();
}

} // namespace
