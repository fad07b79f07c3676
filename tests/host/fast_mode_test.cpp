// Fast tape loading and the fast-forward key, with the firmware and a fake
// clock: the pacing, the sound and the status bar change while the machine
// computes exactly what it computes in real time.
#include <cstdio>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "host/core/fast_mode.h"
#include "host/core/keys.h"
#include "host/script/script_queue.h"
#include "machine/keyboard.h"
#include "tests/common/tarvik_firmware_screen.h"
#include "tests/host/host_fixture.h"

namespace {

bool at_prompt() {
  for (int y = 31; y >= 0; --y)
    if (!firmware_screen::row(y).empty()) return firmware_screen::row(y) == ">";
  return false;
}

struct LoadRun {
  std::vector<uint8_t> memory;
  std::string registers;
  uint32_t frames = 0;       // from the B command to the prompt
  uint32_t sleeps = 0;       // the pacing's waits meanwhile
  uint32_t presents = 0;     // pictures shown meanwhile
  bool sawFast = false;      // fast_mode_tape() and its status text at some frame
  bool sawSilence = false;   // the sound device paused at some frame
  bool backToNormal = false; // a second after the prompt: real time, sound, status text back
};

std::string registers() {
  char text[200];
  std::snprintf(text, sizeof text,
                "AF=%04X BC=%04X DE=%04X HL=%04X IX=%04X IY=%04X SP=%04X PC=%04X "
                "%04X %04X %04X %04X I=%02X R=%02X %u%u IM%u T=%lld",
                cpu.af.w, cpu.bc.w, cpu.de.w, cpu.hl.w, cpu.ix.w, cpu.iy.w, cpu.sp, cpu.pc,
                cpu.af_alt.w, cpu.bc_alt.w, cpu.de_alt.w, cpu.hl_alt.w, cpu.i, cpu.r, cpu.iff1,
                cpu.iff2, cpu.im, static_cast<long long>(cpu.tcount));
  return text;
}

class FastMode : public HostTest {
protected:
  // Frames as the main loop runs them (with their pacing) until done.
  template <typename F> bool frames_until(F done, int limit) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      app_run_frame();
    }
    return done();
  }
  void boot() {
    start({});
    ASSERT_TRUE(frames_until(at_prompt, 100)) << firmware_screen::text();
  }
  void type(const std::string& line) {
    const std::string text = line + "\r";
    ASSERT_TRUE(paste_begin(text.data(), text.size()));
  }
  // The firmware loads the tape with B, from a fresh start, with fast
  // loading on or off.
  LoadRun load(const std::string& wav, bool fast) {
    LoadRun run;
    HostTest::SetUp();
    boot();
    if (fast != (hostOptions.FastTapeLoad == 1)) window_on_command(CMD_FAST_TAPE);
    EXPECT_EQ(menu_checked(CMD_FAST_TAPE), fast);
    EXPECT_TRUE(wav_menu_attach(wav.c_str()));
    window_on_command(CMD_WAV_PLAY_RECORD);
    type("B");
    const uint32_t sleeps = headless_sleep_calls(), presents = headless_present_count();
    auto step = [&] {
      if (fast_mode_tape() && std::string(headless_status_text(3)) == FAST_TAPE_TEXT)
        run.sawFast = true;
      if (!headless_sound_playing()) run.sawSilence = true;
      return !paste_active() && at_prompt();
    };
    for (; !step() && run.frames < 3000; ++run.frames) app_run_frame();
    run.sleeps = headless_sleep_calls() - sleeps;
    run.presents = headless_present_count() - presents;
    for (int i = 0; i < 60; ++i) app_run_frame();
    // The status bar shows again what it showed before: the attached tape.
    run.backToNormal = !fast_mode_tape() && !pacing_unpaced() && headless_sound_playing() &&
                       std::string(headless_status_text(3)).rfind("Magnófelvétel:", 0) == 0;
    run.memory.assign(memory, memory + kMemorySize);
    run.registers = registers();
    app_shutdown();
    return run;
  }
};

TEST_F(FastMode, AWavTapeLoadsFastToTheSameMachineAsInRealTime) {
  // A block saved by the firmware into a WAV tape.
  boot();
  std::vector<uint8_t> data;
  for (int i = 0; i < 40; ++i) data.push_back(static_cast<uint8_t>(i * 37 + 11));
  std::copy(data.begin(), data.end(), memory + 0x4100);
  const std::string wav = path("adat.wav");
  ASSERT_TRUE(wav_menu_create(wav.c_str()));
  window_on_command(CMD_WAV_PLAY_RECORD);
  type("K ADAT 4100 4127");
  ASSERT_TRUE(frames_until([] { return !paste_active() && at_prompt(); }, 600));
  EXPECT_FALSE(fast_mode_tape()) << "a recording is no load";
  for (int i = 0; i < 10; ++i) app_run_frame();
  ASSERT_TRUE(wav_menu_close());
  app_shutdown();

  const LoadRun slow = load(wav, false);
  const LoadRun fast = load(wav, true);
  ASSERT_LT(slow.frames, 3000u);
  EXPECT_EQ(std::vector<uint8_t>(fast.memory.begin() + 0x4100, fast.memory.begin() + 0x4128), data);
  EXPECT_EQ(fast.frames, slow.frames);
  EXPECT_EQ(fast.registers, slow.registers);
  EXPECT_TRUE(fast.memory == slow.memory) << "the machine can tell the two loads apart";
  // Real time waits in nearly every frame and shows each; the fast load
  // never waits and shows a few pictures a second of real time (none here:
  // the fake clock only moves while the loop waits).
  EXPECT_GT(slow.sleeps, slow.frames / 2);
  EXPECT_GT(slow.presents, slow.frames / 2);
  EXPECT_LT(fast.sleeps, 5u);
  EXPECT_LT(fast.presents, 5u);
  EXPECT_TRUE(fast.sawFast);
  EXPECT_TRUE(fast.sawSilence);
  EXPECT_FALSE(slow.sawFast);
  EXPECT_FALSE(slow.sawSilence);
  EXPECT_TRUE(fast.backToNormal);
  EXPECT_TRUE(slow.backToNormal);
}

TEST_F(FastMode, AnAttachedTapeImageLoadsFastUntilItEnds) {
  boot();
  const std::vector<uint8_t> data(300, 0x5A);
  const std::string image = path("kep.tkt");
  ASSERT_TRUE(tape_save_memory(image.c_str(), 0x4400, 300, data.data()));
  ASSERT_TRUE(tape_attach(image.c_str()));
  type("B");
  bool sawFast = false;
  ASSERT_TRUE(frames_until(
      [&] {
        sawFast = sawFast || fast_mode_tape();
        return !paste_active() && at_prompt();
      },
      200));
  EXPECT_TRUE(sawFast);
  EXPECT_EQ(memory[0x4400 + 299], 0x5A);
  // Real time again once the machine has not read the tape for a second.
  EXPECT_TRUE(frames_until([] { return !fast_mode_tape() && !pacing_unpaced(); }, 60));
  app_shutdown();
}

TEST_F(FastMode, TheFastForwardKeyRunsUnpacedOnlyWhileHeldAndTheMachineNeverSeesIt) {
  start({"/h"});
  headless_script_text("frames 20\nkeydown F4\nframes 50\nkeyup F4\nframes 20\n");
  std::vector<uint32_t> sleepsAt;
  uint32_t frames = 0;
  int exitCode = 0;
  for (;;) {
    PlatformMessage m = script_queue_next_message(false, &exitCode);
    if (m == PLATFORM_MESSAGE_QUIT) break;
    if (m == PLATFORM_MESSAGE_HANDLED) continue;
    app_run_frame();
    if (++frames == 20 || frames == 70 || frames == 90) sleepsAt.push_back(headless_sleep_calls());
    if (frames == 45) { EXPECT_TRUE(host_key_held(FAST_FORWARD_KEY)); }
  }
  ASSERT_EQ(sleepsAt.size(), 3u);
  EXPECT_EQ(sleepsAt[1] - sleepsAt[0], 0u) << "no wait while F4 is held";
  EXPECT_GT(sleepsAt[2] - sleepsAt[1], 10u) << "real time again after it is released";
  // No key of either matrix, in either mapping, answers to it.
  for (uint32_t symbolic : {0u, 1u}) {
    machine_set_symbolic_keyboard(symbolic);
    headless_set_key(FAST_FORWARD_KEY, true);
    for (int column = 0; column < 16; ++column)
      EXPECT_EQ(keyboard_read_column(static_cast<uint16_t>(0xE000 + column)), 0xFF) << column;
    EXPECT_EQ(keyboard_read_rows(0xFF), 0) << symbolic;
  }
  app_shutdown();
}

} // namespace
