// The program's start-up, main loop and shutdown, for both platforms.
#pragma once

#include <string>
#include <vector>

// Why a file of the command line did not load, where its load said nothing
// (followed by ": " and the argument).
inline constexpr const char* COMMAND_LINE_LOAD_FAILED = "A file betöltése sikertelen";
inline constexpr const char* COMMAND_LINE_SNAPSHOT_FAILED =
    "A pillanatfelvétel betöltése sikertelen";
inline constexpr const char* COMMAND_LINE_STATE_FAILED = "A gépállapot betöltése sikertelen";
inline constexpr const char* COMMAND_LINE_UNKNOWN_KIND =
    "Ismeretlen fajta file (.tkt, .wav, .tks vagy .tkm végű lehet)";

// The host's state as at program start, before the settings are read: the
// options at their defaults, the machine running (not paused, not in the
// monitor), no full screen, no AVI capture, no script mode.
void host_reset_state();
// Brings the system up in order: window, status bar, settings, pacing
// clock, machine, the command line (switches, then each file with 30 frames
// before and 25 after it), the window's size and frame bitmap, the video
// path, the sound driver. False when the window cannot be made.
bool app_start(int argc, const char* const* argv);
// The command-line walk alone (part of app_start).
void app_command_line(int argc, const char* const* argv);
// The files of the last command-line walk that did not load (a name without
// a known ending among them), each as the message that says why, in order.
const std::vector<std::string>& app_command_line_failures();
// Runs frames and handles messages until the quit message; returns its
// exit code.
int app_main_loop();
// One turn of the main loop's frame: the emulated frame, its sound and video
// capture, the recordings' checks and the pacing after it. For a platform whose
// main loop is the browser's (host/web/).
void app_run_frame();
// After a message handled while the machine stood still: pacing restarts from
// now and, when the machine runs again, the sound resumes.
void app_after_message(bool wasRunning);
// Finishes every capture and recording with its headers, closes the tape
// and saves the settings into the store (also when the session ends).
void app_finish_files();
// app_finish_files, then closes the sound and the display and the settings
// store.
void app_shutdown();
// All three: the program's entry.
int app_main(int argc, const char* const* argv);
