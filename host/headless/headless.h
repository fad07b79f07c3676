// Controls of the headless platform beyond the platform functions: what a
// script or a test feeds in and reads back instead of a user at a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/platform.h"
#include "host/posix/posix.h"

// ---- clock ------------------------------------------------------------------
// A fake clock for tests: it stands still until advanced, and every 1 ms
// sleep advances it by a millisecond's ticks. The real clock is a steady
// clock counting nanoseconds.
void headless_use_fake_clock(int64_t frequency);
void headless_use_real_clock();
void headless_advance_clock(int64_t ticks);
uint32_t headless_sleep_calls();
// Milliseconds slept through platform_sleep_ms so far.
uint64_t headless_slept_ms();
// The refresh rate the display reports (50 Hz unless set; 0 = unknown).
void headless_set_refresh_rate(uint32_t hz);

// ---- window -----------------------------------------------------------------
// With verbose, titles and status messages are printed to standard error.
void headless_set_verbose(bool verbose);
bool headless_verbose();
const std::string& headless_title();
bool headless_window_shown();
// The machine's cycle counter when the window was shown.
int64_t headless_tcount_at_show();
// Message boxes shown ("CAPTION: text", also printed to standard error).
uint32_t headless_message_box_count();
const std::string& headless_last_message_box();
bool headless_maximize_box();
bool headless_full_screen();
// Sets the client area's size (as if the user resized the window).
void headless_resize_client(int32_t width, int32_t height);
void headless_reset_window();

// ---- status bar and presentation ----------------------------------------------
// The text a status-bar part shows now ("" for part 1).
const char* headless_status_text(int part);
// The last presented picture: rows of 64 bytes (the source's: 256 when
// stretched, as many as the bitmap holds otherwise).
const uint8_t* headless_presented_frame(int32_t* rows);
uint32_t headless_present_count();
// The presentations that drew a picture (the others found it shown already).
uint32_t headless_draw_count();
// The stretched way's scaling surface, which DirectDraw is on Windows:
// preparing it fails (false) or succeeds (true, the default); whether it is
// prepared now.
void headless_set_ddraw_available(bool available);
bool headless_ddraw_running();

// ---- screen reader and speech ------------------------------------------------------
// The speech service opens (true, the default) or there is none (false).
void headless_set_speech_available(bool on);
bool headless_speech_open();
// What was spoken, and the new lines told to the screen reader, in turn (the
// latest 256 KB or so of each).
const std::string& headless_spoken();
const std::string& headless_screen_news();
// How often the screen's text was told to have changed.
uint32_t headless_screen_changes();
void headless_reset_screen_reader();

// ---- sound device ---------------------------------------------------------------
// The virtual sound device (both sound outputs) is open and not paused.
bool headless_sound_playing();
// Makes the next opens of the device fail (true), as on a host without one.
void headless_sound_fail_open(bool fail);

// ---- clipboard ----------------------------------------------------------------
void headless_clipboard_put(const std::string& text); // code page 1250
std::string headless_clipboard_get();
void headless_clipboard_clear(); // no text on the clipboard

// ---- menu ---------------------------------------------------------------------
// The label an item shows now ("" while hidden), and whether it is enabled.
std::string headless_menu_label(int id);
bool headless_menu_enabled(int id);

// ---- file dialogs -----------------------------------------------------------------
// Answers for the next dialogs (in the script queue, with a script's own),
// taken in order; an empty queue cancels.
void headless_queue_dialog_answer(const char* path);
void headless_queue_dialog_cancel();
void headless_clear_dialog_answers();
// The address panel's fields for the next dialog that has one.
void headless_set_dialog_fields(const char* start, const char* end);
const char* headless_last_dialog_title();
unsigned headless_dialog_count();
// The fields the last dialog with an address panel proposed.
const AddressPanel& headless_last_address_panel();

// ---- events and scripts -------------------------------------------------------------
// Keys, commands, frames and the quit go to the host's script queue
// (host/script/script_queue.h), as a script's lines do; the other window messages
// wait in the platform's own queue. One is handled per main-loop message.
void headless_queue_command(int id);
void headless_queue_key(int vk, bool down);
// Lets the main loop run n frames before the next queued event.
void headless_queue_frames(uint32_t n);
void headless_queue_quit(int exitCode);
void headless_clear_events();
// Script lines (see the README) from a file, "-" for standard input, or a
// text; they are read as the main loop asks for messages. False when the
// file cannot be opened.
bool headless_script_open(const char* path);
void headless_script_text(const std::string& text);
// After the script: run this many frames, then quit.
void headless_script_then_frames(uint32_t frames);
// The screen as UTF-8 text, lines ended by "\n".
std::string headless_screen_text();

// ---- host keys (machine side) ---------------------------------------------------------
// Marks a virtual key as held or released, for the machine and the host,
// typing on the Hungarian layout (without the accelerators and the host's
// own keys: a queued key goes through those).
void headless_set_key(int vk, bool down);

// ---- console ----------------------------------------------------------------
// Lines typed into the console are taken from a queue first; when it is
// empty, from standard input unless that is switched off (then the input
// has ended). A queued line gets a line end when it has none.
void headless_console_queue_line(const char* line);
void headless_console_clear_input();
void headless_console_use_stdin(bool use);
// Makes the next console creations fail (true) or succeed (false).
void headless_console_fail_open(bool fail);
// Columns reported as the console's width; 0 takes the terminal's width,
// or 80 when standard output is not a terminal.
void headless_console_set_width(int columns);
// While capturing, output is kept instead of being written to standard
// output; the kept text, and the part of it written under one attribute.
void headless_console_capture(bool capture);
std::string headless_console_output();
std::string headless_console_output_in(int attribute);
void headless_console_clear_output();
bool headless_console_is_open();
std::string headless_console_title();
int headless_console_attribute();
// The console as at program start: closed, no queued input, standard input
// read, creation succeeding, the terminal's width, output written, not kept.
void headless_console_reset();

// ---- on-screen monitor --------------------------------------------------------
// The geometry reported to the monitor (default: a 512 x 384 picture area
// with a 20-pixel status bar below it, and an 8 x 16 font cell).
void headless_monitor_set_geometry(const MonitorGeometry& geometry);
// The rows and the separator row of the last drawing, and the number of
// drawings so far.
const std::vector<std::string>& headless_monitor_rows();
int headless_monitor_separator_row();
uint32_t headless_monitor_draw_count();
