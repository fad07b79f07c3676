// tarvik-cli: the emulator without a window. The same start-up, command
// line and main loop as the desktop program; a script takes the user's
// place, message boxes go to standard error, and the screen can be printed
// as text or written as a picture at the end.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/core/app.h"
#include "host/core/history.h"
#include "host/headless/headless.h"
#include "host/ui/about.h"
#include "host/ui/menu.h"
#include "media/replay.h"
#include "media/screenshot.h"
#include "media/tape_convert.h"

namespace {

void usage(std::FILE* out) {
  std::fputs("usage: tarvik-cli [options] [/h] [/w] [/x] [FILE.wav|FILE.tkt ...]\n"
             "  --frames N         run N frames (after the script), then exit\n"
             "  --script FILE      script lines from FILE (- for standard input)\n"
             "  --settings FILE    keep the settings in FILE (read at start, written at exit);\n"
             "                     without it every run starts from the defaults, nothing kept\n"
             "  --screen-text      print the screen as text at exit\n"
             "  --screenshot FILE  write the screen as a BMP file at exit\n"
             "  --verbose          print window titles, status messages and dialogs\n"
             "  --record FILE      record the run as a replay (.tkr): its starting state and\n"
             "                     every input, frame by frame\n"
             "  --replay FILE      play a replay back (instead of a script), then exit\n"
             "  --hash-every N     print \"hash FRAME HEX\" after every N frames: a hash of\n"
             "                     the picture, the memory and the CPU's registers\n"
             "  --verify           with --replay: exit with status 1 at the first frame whose\n"
             "                     hash differs from the one the recording stores\n"
             "  --wav-to-tkt IN.wav OUT.tkt   write the tape blocks of a recording as a\n"
             "                     tape image, one line per block found, then exit\n"
             "  --tkt-to-wav IN.tkt OUT.wav   write the recording the machine's save would\n"
             "                     make of a tape image, then exit\n"
             "  --version          print the version and exit\n"
             "  /h no sound, /w no real-time pacing, /x GDI instead of DirectDraw\n",
             out);
  std::fputs("script line \"command NAME\" (or its number) runs a menu command:\n", out);
  for (int i = 0; i < commandNameCount; ++i)
    std::fprintf(out, "  %-18s %5u%s", commandNames[i].name, commandNames[i].id,
                 i % 3 == 2 || i + 1 == commandNameCount ? "\n" : "");
}

bool parse_frames(const char* text, uint32_t* frames) {
  if (!*text || std::strlen(text) > 9 || std::strspn(text, "0123456789") != std::strlen(text))
    return false;
  *frames = static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
  return true;
}

// The conversions run without a machine: one line per block, a message and
// status 2 when the input is refused or the output cannot be written.
int convert(bool toTkt, const char* in, const char* out) {
  std::vector<TapeBlock> blocks;
  char message[600];
  const bool ok = toTkt ? tape_wav_to_tkt(in, out, &blocks, message, sizeof message)
                        : tape_tkt_to_wav(in, out, &blocks, message, sizeof message);
  for (const TapeBlock& block : blocks)
    std::printf("%s%s\n", tape_block_line(block).c_str(),
                toTkt && !block.complete ? " (kimarad)" : "");
  if (!ok) {
    std::fprintf(stderr, "tarvik-cli: %s\n", message);
    return 2;
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  // The desktop programs' settings are theirs: a run without a window
  // neither reads nor changes them.
  posix_set_no_settings_file();
  std::vector<const char*> emulatorArgs = {argv[0]};
  uint32_t frames = 0;
  const char* script = nullptr;
  const char* screenshot = nullptr;
  bool screenText = false;
  const char* record = nullptr;
  const char* replay = nullptr;
  uint32_t hashEvery = 0;
  bool verify = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--help" || a == "-h") {
      usage(stdout);
      return 0;
    } else if ((a == "--wav-to-tkt" || a == "--tkt-to-wav") && i + 2 < argc) {
      return convert(a == "--wav-to-tkt", argv[i + 1], argv[i + 2]);
    } else if (a == "--version") {
      std::printf("tarvik-cli %s\n", tarvikVersion);
      return 0;
    } else if (a == "--frames" && hasValue) {
      if (!parse_frames(argv[++i], &frames)) {
        std::fprintf(stderr, "tarvik-cli: --frames needs a number of frames, not \"%s\"\n",
                     argv[i]);
        return 2;
      }
    } else if (a == "--script" && hasValue) {
      script = argv[++i];
    } else if (a == "--settings" && hasValue) {
      posix_set_settings_file(argv[++i]);
    } else if (a == "--screenshot" && hasValue) {
      screenshot = argv[++i];
    } else if (a == "--screen-text") {
      screenText = true;
    } else if (a == "--record" && hasValue) {
      record = argv[++i];
    } else if (a == "--replay" && hasValue) {
      replay = argv[++i];
    } else if (a == "--hash-every" && hasValue) {
      if (!parse_frames(argv[++i], &hashEvery) || hashEvery == 0) {
        std::fprintf(stderr,
                     "tarvik-cli: --hash-every needs a number of frames above 0, not \"%s\"\n",
                     argv[i]);
        return 2;
      }
    } else if (a == "--verify") {
      verify = true;
    } else if (a == "--verbose") {
      headless_set_verbose(true);
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      std::fprintf(stderr, "tarvik-cli: unknown option or missing value: %s\n", a.c_str());
      usage(stderr);
      return 2;
    } else {
      emulatorArgs.push_back(argv[i]);
    }
  }
  if (replay && (script || record)) {
    std::fprintf(stderr,
                 "tarvik-cli: --replay plays a recording; it takes no --script or --record\n");
    return 2;
  }
  if (verify && !replay) {
    std::fprintf(stderr, "tarvik-cli: --verify needs --replay\n");
    return 2;
  }
  if (script && !headless_script_open(script)) {
    std::fprintf(stderr, "tarvik-cli: cannot open the script %s\n", script);
    return 2;
  }
  if (!replay) headless_script_then_frames(frames);

  if (!app_start(static_cast<int>(emulatorArgs.size()), emulatorArgs.data())) return 0;
  history_print_hashes(hashEvery);
  // A file that did not load stops the run before the script does anything.
  const std::vector<std::string>& failed = app_command_line_failures();
  for (const std::string& message : failed)
    std::fprintf(stderr, "tarvik-cli: %s\n", message.c_str());
  if (!failed.empty()) {
    app_shutdown();
    return 2;
  }
  char reason[300];
  if (replay) {
    if (!history_replay_start(replay, verify, reason, sizeof reason)) {
      std::fprintf(stderr, "tarvik-cli: %s: %s\n", replay, reason);
      app_shutdown();
      return 2;
    }
    // The replay's frames; the run ends with the last (or the first that
    // differs).
    headless_script_then_frames(replay_play_length() + 1);
  } else if (record && !history_record_start(record, reason, sizeof reason)) {
    std::fprintf(stderr, "tarvik-cli: %s: %s\n", record, reason);
    app_shutdown();
    return 2;
  }
  int exitCode = app_main_loop();
  if (replay && exitCode == 0) exitCode = history_exit_status();
  if (record && !history_record_stop()) {
    std::fprintf(stderr, "tarvik-cli: %s: the recording could not be written in full\n", record);
    if (exitCode == 0) exitCode = 2;
  }
  if (screenText) std::fputs(headless_screen_text().c_str(), stdout);
  if (screenshot && !save_screenshot(screenshot)) {
    std::fprintf(stderr, "tarvik-cli: cannot write %s\n", screenshot);
    if (exitCode == 0) exitCode = 2;
  }
  app_shutdown();
  return exitCode;
}
