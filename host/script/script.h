// Script lines that take the user's place at the window: tarvik-cli runs
// them on the headless platform, Tarvik.exe with "/script FILE" between its
// window messages. The lines are listed in the README.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Script lines from a file ("-" for standard input) or from a text; false
// when the file cannot be opened.
bool script_open(const char* path);
void script_text(const std::string& text);
// After the script: run this many frames, then quit.
void script_then_frames(uint32_t frames);
// Runs the next line; false when the script has ended (and the frames
// after it are queued).
bool script_step();
// The exit status the script asks for: 0, 1 (an expect failed) or 2 (a bad
// script line).
int script_status();
// The screen as UTF-8 text, lines ended by "\n".
std::string script_screen_text();

// What the lines read from the window, set by the host at start-up: paint
// the picture now, and the screen's text as the text copy gives it (code
// page 1250, zero-ended; the length with the zero, 0 when there is none).
struct ScriptScreenHooks {
  void (*paint)();
  size_t (*screenText)(char* buffer, size_t size);
};
enum : size_t { SCRIPT_SCREEN_TEXT_MAX = 32 * 66 + 1 };
void script_set_screen_hooks(const ScriptScreenHooks& hooks);
// A virtual-key code from a number ("13", "0x0D") or a name ("F1",
// "RETURN", "A"); -1 when it is neither.
int script_key_code(const std::string& text);
