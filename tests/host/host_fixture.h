// A clean host for each test: options at their defaults, a fresh headless
// window with a settings file in a temporary folder, and helpers to start
// the program as the desktop does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "debugger/console_monitor.h"
#include "host/core/app.h"
#include "host/core/commands.h"
#include "host/core/pacing.h"
#include "host/core/window.h"
#include "host/headless/headless.h"
#include "host/output/avi.h"
#include "host/output/display.h"
#include "host/output/status.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "machine/paste.h"
#include "media/hooks.h"
#include "media/tape.h"
#include "media/wav_tape.h"

class HostTest : public ::testing::Test {
protected:
  void SetUp() override {
    static int counter;
    // Test cases run in parallel processes: the process id keeps their
    // folders apart.
    folder = ::testing::TempDir() + "host_test_" + std::to_string(::getpid()) + "_" +
             std::to_string(++counter) + "/";
    std::remove(settingsFile().c_str());
    ::mkdir(folder.c_str(), 0700);
    posix_set_settings_file(settingsFile().c_str());
    posix_set_data_folder((folder + "data").c_str());
    machine_reset_state();
    media_reset_state();
    debugger_reset_state();
    host_reset_state();
    headless_console_reset();
    status_destroy();
    headless_reset_window();
    headless_clear_events();
    headless_clear_dialog_answers();
    headless_clipboard_clear();
    headless_script_text("");
    headless_script_then_frames(0);
    headless_set_ddraw_available(true);
    headless_sound_fail_open(false);
    headless_reset_screen_reader();
    headless_set_refresh_rate(50);
    headless_use_fake_clock(1000000);
  }
  void TearDown() override { headless_use_real_clock(); }

  std::string settingsFile() const { return folder + "settings.ini"; }
  std::string path(const char* name) const { return folder + name; }

  // Start-up with these command-line arguments after the program name.
  void start(std::vector<const char*> args = {}) {
    args.insert(args.begin(), "tarvik");
    ASSERT_TRUE(app_start(static_cast<int>(args.size()), args.data()));
  }

  static std::string read_file(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static void write_file(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary);
    out << bytes;
  }

  std::string folder;
};
