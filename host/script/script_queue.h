// The queue between the script lines (host/script/script.h) and the main loop: what
// the lines ask for waits here until the loop takes it, one action per
// message, whenever the platform has no message of its own. Dialog answers
// and console lines wait here for the dialog or the console read that takes
// them. Every platform runs scripts this way; the platform turns a key and a
// command into its own input (host/platform_script.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/platform.h"

// A script from a file ("-" for standard input; false when it cannot be
// opened) or from a text; frames to run after the script, then the quit.
// Each of these starts the queue's turn in the main loop.
bool script_queue_open(const char* path);
void script_queue_text(const std::string& text);
void script_queue_then_frames(uint32_t frames);
bool script_queue_active();

// The main loop's next message: the platform's own first; when it has none,
// the script's next action (PLATFORM_MESSAGE_NONE: run a frame). When
// nothing more is queued and the script has ended, the quit with its status
// is posted.
PlatformMessage script_queue_next_message(bool wait, int* exitCode);

// What the lines ask for.
void script_queue_frames(uint32_t n);
void script_queue_key(int vk, bool down);
void script_queue_command(int id);
void script_queue_quit(int exitCode);
// The next file dialog's answer (null: cancel) and its address fields.
void script_queue_answer(const char* path);
void script_queue_fields(const char* start, const char* end);
// A line typed into the console monitor (a line end is added when missing).
void script_queue_console(const char* line);

// The next dialog's answer: 1 with the name, 0 for a cancel, -1 when none is
// queued. With start and end, the fields the script gave (if any) are copied
// there (up to five characters and the zero each) and used up.
int script_queue_take_answer(std::string* name, char* start, char* end);
// The next console line; false when there is none.
bool script_queue_take_console_line(char* buffer, int size);

// Drop what is queued: the actions and the frames to run; the answers and
// fields; the console lines.
void script_queue_clear_actions();
void script_queue_clear_answers();
void script_queue_clear_console();
