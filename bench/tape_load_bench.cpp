// tarvik-tape-bench: how long our Tarvik 4.1 firmware takes, in real time
// with pacing on, to load a 4 KB block from a WAV tape through its "B"
// command, with fast tape loading on and off, against the playing time of
// the tape. The tape is saved by the firmware itself first ("K"), unpaced.
// The loads alternate (on, off, on); each must bring back the saved bytes.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "cpu/cpu.h"
#include "host/core/app.h"
#include "host/core/fast_mode.h"
#include "host/core/pacing.h"
#include "host/core/window.h"
#include "host/headless/headless.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "machine/memory.h"
#include "machine/paste.h"
#include "media/wav_tape.h"
#include "tests/common/tarvik_firmware_screen.h"

namespace {

constexpr uint16_t kStart = 0x4400;
constexpr uint32_t kLength = 4096;

bool at_prompt() {
  for (int y = 31; y >= 0; --y)
    if (!firmware_screen::row(y).empty()) return firmware_screen::row(y) == ">";
  return false;
}

// Types a line and runs frames (paced as the options say) until the
// firmware's prompt is back; false after the frame limit.
bool command(const char* line, uint32_t limit) {
  std::string text = std::string(line) + "\r";
  if (!paste_begin(text.data(), text.size())) return false;
  for (uint32_t i = 0; i < limit; ++i) {
    if (!paste_active() && at_prompt()) return true;
    app_run_frame();
  }
  return false;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
  const std::string folder = "/tmp/tarvik_tape_bench_" + std::to_string(::getpid());
  const std::string settings = folder + ".ini", wav = folder + ".wav";
  posix_set_settings_file(settings.c_str());
  const char* args[] = {"tarvik-tape-bench", "/h"};
  if (!app_start(2, args)) return 1;
  hostOptions.SyncSpeed = 0; // the start-up and the save need no real time
  for (int i = 0; i < 200 && !at_prompt(); ++i) app_run_frame();

  std::vector<uint8_t> data(kLength);
  uint32_t x = 12345;
  for (uint8_t& b : data) {
    x = x * 1103515245 + 12345;
    b = static_cast<uint8_t>(x >> 16);
  }
  std::memcpy(memory + kStart, data.data(), kLength);
  char line[40];
  std::snprintf(line, sizeof line, "K ADAT %04X %04X", kStart, kStart + kLength - 1);
  if (!wav_menu_create(wav.c_str())) return 1;
  window_on_command(CMD_WAV_PLAY_RECORD); // the switch stays on for the loads
  if (!command(line, 20000)) {
    std::fprintf(stderr, "tarvik-tape-bench: the save did not end\n");
    return 1;
  }
  for (int i = 0; i < 10; ++i) app_run_frame();
  wav_menu_close();
  std::FILE* f = std::fopen(wav.c_str(), "rb");
  if (!f) return 1;
  std::fseek(f, 0, SEEK_END);
  const double playing = static_cast<double>(std::ftell(f) - 44) / 44100.0;
  std::fclose(f);
  std::printf("WAV tape of a %u-byte block saved by the firmware: %.1f s of playing time\n",
              kLength, playing);

  int failures = 0;
  for (int fast : {1, 0, 1}) {
    std::memset(memory + kStart, 0, kLength);
    wav_menu_attach(wav.c_str()); // from the start, playing
    hostOptions.FastTapeLoad = static_cast<uint32_t>(fast);
    hostOptions.SyncSpeed = 1;
    pacing_reset();
    const auto start = std::chrono::steady_clock::now();
    const int64_t tstates = cpu.tcount;
    const bool ended = command("B", 20000);
    const double wall = seconds_since(start);
    const bool same = std::memcmp(memory + kStart, data.data(), kLength) == 0;
    if (!ended || !same) ++failures;
    std::printf("load with fast tape loading %-3s: %6.2f s wall, %6.2f s emulated, "
                "%5.3f of the playing time%s\n",
                fast ? "on" : "off", wall, static_cast<double>(cpu.tcount - tstates) / cpu.clockHz,
                wall / playing, ended && same ? "" : " (FAILED: the block did not load)");
    // Back to real time before the next run (a second without reads).
    hostOptions.SyncSpeed = 0;
    for (int i = 0; i < 60; ++i) app_run_frame();
  }
  app_shutdown();
  std::remove(wav.c_str());
  std::remove(settings.c_str());
  return failures ? 1 : 0;
}
