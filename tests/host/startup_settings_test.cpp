// Start-up, the command line, shutdown and the settings store.
#include <sys/stat.h>

#include "cpu/cpu.h"
#include "host/headless/headless.h"
#include "host/output/audio.h"
#include "host/ui/cp1250.h"
#include "host/ui/menu.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/rom.h"
#include "tests/host/host_fixture.h"

namespace {

class Startup : public HostTest {};
class Settings : public HostTest {};

// The settings file as name -> value text.
std::vector<std::pair<std::string, std::string>> parse_settings(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> values;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t eq = line.find('=');
    if (eq != std::string::npos) values.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    start = end + 1;
  }
  return values;
}

TEST_F(Startup, TwoFilesRun110FramesBeforeTheWindowIsShown) {
  write_file(path("tape.wav"), std::string(64, '\0'));
  write_file(path("game.tkt"), std::string(16, '\0'));
  std::string wav = path("tape.wav"), tkt = path("game.tkt");
  start({"/h", wav.c_str(), tkt.c_str()});
  ASSERT_TRUE(headless_window_shown());
  // A frame is 59 808 T-states plus the overshoot of its two slices.
  int64_t frames = (headless_tcount_at_show() + 1) / 59808;
  EXPECT_EQ(frames, 110) << headless_tcount_at_show();
  app_shutdown();
}

TEST_F(Startup, RomsFolderBesideTheProgramReplacesTheBuiltInImages) {
  ::mkdir(path("roms").c_str(), 0700);
  // A Tarvik 4.1 image that halts at once, and a character set of the
  // wrong size, which is refused.
  std::string rom(16384, '\x00');
  rom[0] = '\x76';
  rom[0x3FFF] = '\x5A';
  write_file(path("roms/tarvik41.rom"), rom);
  write_file(path("roms/tarvik.chr"), std::string(100, '\xFF'));
  const std::string program = path("tarvik");
  const char* argv[] = {program.c_str()};
  ::testing::internal::CaptureStderr();
  const bool started = app_start(1, argv);
  const std::string err = ::testing::internal::GetCapturedStderr();
  rom_use_builtin(); // the images are program-wide: back for the other tests
  ASSERT_TRUE(started);
  EXPECT_EQ(memory[0x0000], 0x76);
  EXPECT_EQ(memory[0x3FFF], 0x5A);
  EXPECT_NE(err.find("tarvik.chr"), std::string::npos) << err;
}

TEST_F(Startup, AnExecutionBreakpointOpensTheConsoleMonitor) {
  start();
  headless_console_capture(true);
  headless_console_clear_output();
  headless_console_use_stdin(false);
  headless_console_queue_line("x");
  const uint16_t at = cpu.pc;
  watchFlags[at] = WATCH_EXEC;
  set_read_watch(at, WATCH_EXEC);
  run_frame();
  watchFlags[at] = 0;
  set_read_watch(at, 0);
  headless_console_capture(false);
  EXPECT_NE(headless_console_output().find("Type '?' for help, 'x' for exit."), std::string::npos);
}

TEST_F(Startup, AFileWithoutExtensionStillRunsItsFrames) {
  start({"/h", "noextension", "/ignored"});
  EXPECT_EQ((headless_tcount_at_show() + 1) / 59808, 55);
  app_shutdown();
}

TEST_F(Startup, AnAbsoluteFileNameIsNotASwitch) {
  std::string name = path("hello.tkt"); // begins with "/", like "/h"
  ASSERT_EQ(name[0], '/');
  start({name.c_str()});
  EXPECT_EQ(hostOptions.soundDriverIndex, 1u);
  EXPECT_EQ((headless_tcount_at_show() + 1) / 59808, 55);
  app_shutdown();
}

TEST_F(Startup, ExtensionsAreCaseSensitive) {
  // ".TKT" is not autoloaded: nothing is read, no message comes.
  std::string upper = path("GAME.TKT");
  write_file(upper, std::string(300, '\x55'));
  start({"/h", upper.c_str()});
  EXPECT_EQ(std::string(status_text(3)), "");
  app_shutdown();
}

TEST_F(Startup, TheFilesThatDidNotLoadAreListedWithTheirMessages) {
  const std::string missing = path("missing.tkt"), upper = path("GAME.TKT");
  const std::string snapshot = path("short.tks"), wav = path("tape.wav");
  write_file(snapshot, "TK01");
  write_file(wav, std::string(64, '\0')); // no RIFF header
  start({"/h", missing.c_str(), wav.c_str(), upper.c_str(), snapshot.c_str()});
  const std::vector<std::string> expected = {
      "Nincs ilyen állomány: " + missing, "Hibás WAV állomány: " + wav,
      COMMAND_LINE_UNKNOWN_KIND + (": " + upper), COMMAND_LINE_SNAPSHOT_FAILED + (": " + snapshot)};
  EXPECT_EQ(app_command_line_failures(), expected);
  app_shutdown();
}

TEST_F(Startup, WithoutASoundDeviceAMessageSaysSoAndTheMachineRunsOn) {
  headless_sound_fail_open(true);
  start({});
  EXPECT_EQ(headless_message_box_count(), 1u);
  EXPECT_EQ(headless_last_message_box(), std::string("Error: ") + SOUND_DEVICE_FAILED);
  EXPECT_FALSE(sound_on());
  const uint32_t presents = headless_present_count();
  for (int i = 0; i < 5; ++i) app_run_frame();
  EXPECT_GT(headless_present_count(), presents);
  window_on_command(CMD_SOUND_WAVEOUT); // chosen again: said again
  EXPECT_EQ(headless_message_box_count(), 2u);
  app_shutdown();
}

TEST_F(Startup, SwitchesChangeTheOptionsAndTheMenu) {
  start({"/hx", "/w", "/x"});
  EXPECT_EQ(hostOptions.soundDriverIndex, 0u);
  EXPECT_TRUE(menu_checked(CMD_SOUND_OFF));
  EXPECT_FALSE(menu_checked(CMD_SOUND_DIRECTSOUND));
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  EXPECT_FALSE(menu_checked(CMD_SYNC_SPEED));
  EXPECT_EQ(hostOptions.VideoDriver, VIDEO_DRIVER_GDI);
  EXPECT_TRUE(menu_checked(CMD_VIDEO_DRIVER));
  EXPECT_EQ(frameBitmap.header.height, -512);
  EXPECT_FALSE(headless_ddraw_running());
  app_shutdown();
}

TEST_F(Startup, DirectDrawFailureFallsBackToGdi) {
  headless_set_ddraw_available(false);
  start({"/h"});
  EXPECT_EQ(hostOptions.VideoDriver, VIDEO_DRIVER_GDI);
  EXPECT_EQ(frameBitmap.header.height, -512);
  app_shutdown();
}

TEST_F(Startup, QuitWhilePausedEndsTheLoopWithItsCode) {
  start({"/h"});
  headless_queue_command(CMD_PAUSE);
  headless_queue_frames(5);
  headless_queue_quit(7);
  EXPECT_EQ(app_main_loop(), 7);
  EXPECT_EQ(paused, 1u);
  app_shutdown();
}

TEST_F(Startup, ExitCommandClosesTheWindowWithCodeZero) {
  start({"/h"});
  headless_queue_frames(3);
  headless_queue_command(CMD_EXIT);
  headless_queue_frames(1000000); // never reached
  int64_t before = cpu.tcount;
  EXPECT_EQ(app_main_loop(), 0);
  EXPECT_EQ((cpu.tcount - before) / 59808, 3);
  app_shutdown();
}

TEST_F(Settings, FirstRunWritesAllTheDefaults) {
  start({});
  app_shutdown();
  auto values = parse_settings(read_file(settingsFile()));
  std::vector<std::pair<std::string, std::string>> expected = {
      {"SoundDriver", "1"}, {"VideoDriver", "0"},     {"SyncSpeed", "1"},
      {"DoubleScan", "1"},  {"KeepAspectRatio", "1"}, {"CompositeBlur", "0"},
      {"PixelExact", "0"},  {"FastTapeLoad", "1"},    {"Rewind", "1"},
      {"TapeFilter", "1"},  {"ReadAloud", "0"},       {"Model", "1"},
      {"KeyMapping", "0"},  {"TarvikMemSetup", "6"},  {"TarvikScreenMode", "0"}};
  for (int i = 1; i <= 8; ++i) expected.emplace_back("RecentFile" + std::to_string(i), "");
  EXPECT_EQ(values, expected);
}

TEST_F(Settings, TheMenuShowsTheLoadedOptions) {
  write_file(settingsFile(), "Model=3\nTarvikMemSetup=2\nSoundDriver=2\nDoubleScan=0\n"
                             "KeepAspectRatio=0\nTarvikScreenMode=1\nKeyMapping=1\n");
  start({});
  EXPECT_TRUE(menu_checked(CMD_MODEL_VELTRA16));
  EXPECT_FALSE(menu_checked(CMD_MODEL_TARVIK41));
  EXPECT_TRUE(menu_checked(CMD_RAM_8K));
  EXPECT_TRUE(menu_checked(CMD_SOUND_WAVEOUT));
  EXPECT_FALSE(menu_checked(CMD_DOUBLE_SCAN));
  EXPECT_FALSE(menu_checked(CMD_KEEP_ASPECT));
  EXPECT_TRUE(menu_checked(CMD_SCREEN_MODE_32));
  EXPECT_TRUE(menu_checked(CMD_SYMBOLIC_KEYBOARD));
  EXPECT_TRUE(menu_checked(CMD_SYNC_SPEED));
  EXPECT_STREQ(headless_status_text(0), "Veltra");
  EXPECT_TRUE(headless_maximize_box());
  app_shutdown();
}

TEST_F(Settings, GdiFromTheSettingsRemovesTheMaximiseBox) {
  write_file(settingsFile(), "VideoDriver=1\n");
  start({"/h"});
  EXPECT_TRUE(menu_checked(CMD_VIDEO_DRIVER));
  EXPECT_FALSE(headless_maximize_box());
  app_shutdown();
}

TEST_F(Settings, UnusableStoredValuesAreReplacedByTheDefaults) {
  write_file(settingsFile(), "Model=7\nTarvikMemSetup=9\nSoundDriver=12345678901\n"
                             "SyncSpeed=abcdefgh\nVideoDriver=-1\nCompositeBlur=4000000000\n"
                             "KeyMapping=1\nUnknownName=5\n");
  start({});
  EXPECT_EQ(model(), 1u);
  EXPECT_EQ(machineState.ramSizeIndex, 6u);
  EXPECT_EQ(hostOptions.soundDriverIndex, 1u);
  EXPECT_EQ(hostOptions.SyncSpeed, 1u);
  EXPECT_EQ(hostOptions.VideoDriver, VIDEO_DRIVER_DIRECTDRAW);
  EXPECT_EQ(hostOptions.CompositeBlur, 4000000000u) << "any number is fine here";
  EXPECT_EQ(machineState.symbolicKeyboard, 1u);
  app_shutdown();
  std::string text = read_file(settingsFile());
  EXPECT_NE(text.find("Model=1\n"), std::string::npos);
  EXPECT_NE(text.find("TarvikMemSetup=6\n"), std::string::npos);
  EXPECT_NE(text.find("SoundDriver=1\n"), std::string::npos);
  EXPECT_NE(text.find("SyncSpeed=1\n"), std::string::npos);
  EXPECT_NE(text.find("KeyMapping=1\n"), std::string::npos);
  EXPECT_NE(text.find("UnknownName=5\n"), std::string::npos) << "other names are kept";
}

TEST_F(Settings, TheNoPacingSwitchPersistsAfterExit) {
  start({"/w"});
  app_shutdown();
  EXPECT_NE(read_file(settingsFile()).find("SyncSpeed=0\n"), std::string::npos);
  // The next run starts without pacing and with the halved interval.
  hostOptions.SyncSpeed = 1;
  start({});
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  EXPECT_FALSE(menu_checked(CMD_SYNC_SPEED));
  app_shutdown();
}

TEST_F(Settings, LookupAndGet) {
  ASSERT_NE(settings_lookup("KeepAspectRatio"), nullptr);
  EXPECT_EQ(settings_lookup("KeepAspectRatio")->variable, &hostOptions.KeepAspectRatio);
  EXPECT_EQ(settings_lookup("keepaspectratio"), nullptr) << "names are case-sensitive";
  machineState.currentModel = 2;
  EXPECT_EQ(settings_get("Model"), 2u);
  EXPECT_EQ(settings_get("NoSuchValue"), 0u);
}

TEST_F(Settings, AnUnwritableFileLosesTheChangesQuietly) {
  // A plain file where the settings folder should be: nothing can be made.
  write_file(path("plain"), "x");
  posix_set_settings_file(path("plain/tarvik/settings.ini").c_str());
  start({"/h", "/w"});
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  app_shutdown(); // a diagnostic line, no crash
  EXPECT_EQ(read_file(path("plain")), "x");
}

TEST(CodePage, ConvertsBothWays) {
  const std::string hungarian = "\xC1rv\xED"
                                "zt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p"; // cp1250
  std::string utf8 = cp1250_to_utf8(hungarian.data(), hungarian.size());
  EXPECT_EQ(utf8, "Árvíztűrő tükörfúrógép");
  EXPECT_EQ(utf8_to_cp1250(utf8.data(), utf8.size()), hungarian);
  EXPECT_EQ(utf8_to_cp1250("\xE2\x82\xAC\xE4\xB8\xAD", 6), "\x80?") << "euro sign; no CJK";
  EXPECT_EQ(utf8_to_cp1250("\xC3", 1), "?") << "a cut sequence";
  // A name that is already in code page 1250 (from a Windows dialog) keeps
  // its bytes; the UTF-8 around it is still converted.
  EXPECT_EQ(utf8_to_cp1250("k\xE9pek \xC3\xA1 \xF5\xC3", 11, INVALID_UTF8_KEPT),
            "k\xE9pek \xE1 \xF5\xC3");
  EXPECT_EQ(utf8_to_cp1250("\xE2\x82\xAC\xE4\xB8\xAD", 6, INVALID_UTF8_KEPT), "\x80?");
  EXPECT_EQ(cp1250_to_unicode(0x81), 0xFFFDu);
  EXPECT_EQ(cp1250_from_unicode(0x0151), 0xF5);
}

} // namespace
