// The queue between script lines and a desktop window ("/script FILE" in
// Tarvik.exe and tarvik): what the lines ask for waits here until the
// window's message loop takes it, one action per pass. The platform turns
// keys, commands and the quit into its own window messages.
#pragma once

#include <cstddef>
#include <cstdint>

struct ScriptQueueActions {
  void (*key)(int vk, bool down);
  void (*command)(int id);
  void (*quit)(int exitCode);
  void (*log)(const char* line);
};

// Starts the mode with a script file; false when it cannot be opened.
bool script_queue_start(const char* path);
bool script_queue_active();
// One pass of the message loop: true when something was done (*runFrame set
// when that is a frame to run), false when the script has ended and the
// quit has been posted.
bool script_queue_step(bool wait, bool* runFrame, const ScriptQueueActions& actions);
// The next dialog's answer: 1 with the name (and the address fields, if the
// script gave them), 0 for a cancel.
int script_queue_dialog_answer(char* name, size_t size, char* start, char* end);
// The next console line; false when there is none.
bool script_queue_console_line(char* buffer, int size);

// What the platform's platform_script_* functions hand over.
void script_queue_frames(uint32_t n);
void script_queue_key(int vk, bool down);
void script_queue_command(int id);
void script_queue_quit(int exitCode);
void script_queue_answer(const char* path);
void script_queue_fields(const char* start, const char* end);
void script_queue_console(const char* line);
