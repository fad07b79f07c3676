// Script mode ("/script FILE" on the desktop programs): the script takes the
// user's place at the window. Nobody is there to answer a dialog, a message
// box or the console, so the script answers them, and what the window shows
// (titles, status texts, monitor lines, boxes, dialogs) is logged to
// standard error for the tests that drive the program. Outside script mode
// everything goes to the platform unchanged.
#pragma once

#include <cstddef>
#include <vector>

#include "host/platform.h"

// Takes "/script FILE" out of the command line (the rest goes to args) and
// starts script mode with the file; false, with a message, when the file
// cannot be opened.
bool script_mode_arguments(int argc, const char* const* argv, std::vector<const char*>* args);
bool script_mode_active();
// Script mode off, as at program start.
void script_mode_reset();

// One line of the log, in script mode only (a line end is added).
void script_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What the host shows, answered and logged in script mode.
void host_set_title(const char* text);
void host_message_box(const char* caption, const char* text, int icon);
void host_message_box_modeless(const char* caption, const char* text, int icon);
bool host_file_dialog(const FileDialogKind* kind, char* name, size_t size, AddressPanel* panel);
void host_modal_dialog(HostDialog dialog);

// File dialogs asked for in the middle of an operation (the tape save that a
// ROM routine starts). The platform shows its save dialog; the headless
// platform answers from a queue that a test or a script fills.
// Asks for the name of a file to save. `filter` lists pairs of description
// and pattern, each zero-terminated, ended by an empty string.
// `defaultExtension` (without the dot, e.g. "tkt") is appended when the name
// chosen has no '.' in its last component. Returns false when the dialog was
// cancelled or the name does not fit in `pathSize` bytes; `path` then holds
// an empty string.
bool host_save_file_dialog(const char* title, const char* filter, const char* defaultExtension,
                           char* path, size_t pathSize);

// The console monitor's console and the on-screen monitor, as the debugger's
// hooks (host/core/layers.cpp): in script mode the script types the lines and
// the output is logged.
bool script_console_open(const char* title);
bool script_console_read_line(char* buffer, int size);
void script_console_write(const char* text);
void script_monitor_draw(const char* const* rows, int count, int separatorRow);
