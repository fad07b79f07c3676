// Controls of the headless platform beyond the platform functions: what a
// script or a test feeds in and reads back instead of a user at a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/platform.h"

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

// ---- on-screen monitor --------------------------------------------------------
// The geometry reported to the monitor (default: a 512 x 384 picture area
// with a 20-pixel status bar below it, and an 8 x 16 font cell).
void headless_monitor_set_geometry(const MonitorGeometry& geometry);
// The rows and the separator row of the last drawing, and the number of
// drawings so far.
const std::vector<std::string>& headless_monitor_rows();
int headless_monitor_separator_row();
uint32_t headless_monitor_draw_count();

// ---- time -------------------------------------------------------------------
// Milliseconds slept through platform_sleep_ms so far.
uint64_t headless_slept_ms();

// ---- keyboard -----------------------------------------------------------------
// Marks a virtual key as held or released.
void headless_set_key(int vk, bool down);

// ---- status bar -------------------------------------------------------------
// The text a status-bar part shows now ("" for part 1).
const char* headless_status_text(int part);

// ---- file dialogs -------------------------------------------------------------
// Answers for the next dialogs, taken in order; an empty queue cancels.
void headless_queue_dialog_answer(const char* path);
void headless_queue_dialog_cancel();
void headless_clear_dialog_answers();
const char* headless_last_dialog_title();
unsigned headless_dialog_count();
