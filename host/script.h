// Script lines that take the user's place at the window: tarvik-cli runs
// them on the headless platform, Tarvik.exe with "/script FILE" between its
// window messages. The lines are listed in the README.
#pragma once

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
// A virtual-key code from a number ("13", "0x0D") or a name ("F1",
// "RETURN", "A"); -1 when it is neither.
int script_key_code(const std::string& text);
