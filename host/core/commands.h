// The menu commands: each calls the operation of the layer that does the
// work, with the file dialog it needs, and tells the user the outcome.
#pragma once

#include <cstddef>

// The command's own work (without the pause and restart around it that
// window_on_command adds).
void command_execute(int id);
// A command that opens a file (autoload, tape and WAV attach, snapshot load,
// ROM/BIN load, character set) with its file already chosen: what it does
// once its dialog answered path. askFields fills the address panel of the
// ROM/BIN load (false: cancelled); null keeps its fields. Other commands
// are ignored.
struct AddressPanel;
void command_open_file(int id, const char* path, bool (*askFields)(AddressPanel* panel));
// After a frame: a recording (sound capture, WAV tape) whose file could not
// be written is closed, and the user told.
void command_check_recordings();
// The tape browser's wind button: the tape to the leader of block `index`
// (counted from 0) of the list, told in the status bar. False, with nothing
// changed, when there is no tape or no such block.
bool tape_browser_wind(size_t index);
// The two address dialogs propose their first-use texts again.
void command_forget_address_texts();
