// What the automation mode asks of a platform that has one: the script
// lines (host/script.h) take the user's place at the window. Only the
// script lines call these; a platform without an automation mode leaves
// them out (and does not call host/script.h).
#pragma once

#include <cstdint>

// What the script lines ask of the window: let the main loop
// run n frames before the next line, press or release a key (through the
// accelerators, as typed), run a menu command, end the run, answer the next
// file dialog (null: cancel) and fill its address fields, and type a line
// into the interactive console monitor.
void platform_script_frames(uint32_t n);
void platform_script_key(int vk, bool down);
void platform_script_command(int id);
void platform_script_quit(int exitCode);
void platform_script_dialog_answer(const char* path);
void platform_script_dialog_fields(const char* start, const char* end);
void platform_script_console_line(const char* line);
