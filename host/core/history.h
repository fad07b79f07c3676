// The machine's history as the host keeps it: the replay being recorded or
// played (media/replay.h), the frame hashes tarvik-cli prints, and the
// complete states put in place (a quick slot, a state file, a replay),
// after which the window follows the machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Around every frame app_run_frame runs. history_before_frame is false when
// the frame is not to run: a replay has ended or cannot go on (the run then
// ends with history_exit_status()).
bool history_before_frame();
void history_after_frame();

// Something other than a key changed the machine between two frames (a
// command, a file opened, the monitor): a recording stores the whole state.
void history_machine_changed();
// A key change and a release of every key, as the machine gets them.
void history_key(uint8_t vk, bool down, uint16_t character, uint32_t modifiers);
void history_keys_released();
// A complete state was put in place: the menu's check marks, the status
// bar, the picture and the sound follow the machine it holds.
void history_state_loaded();

// The menu item: starts a recording into a file the user names, or stops
// the one running.
void history_record_command();
// tarvik-cli: records into `path` from now on.
bool history_record_start(const char* path, char* message, size_t messageSize);
bool history_record_stop();
// tarvik-cli: plays a recording back; with `verify`, stops with exit status
// 1 at the first frame whose hash is not the one stored.
bool history_replay_start(const char* path, bool verify, char* message, size_t messageSize);
// Plays a recording back whole, at once, and gives the hash of every
// `every`th frame as "hash FRAME HEX" lines (the web page's check that it
// runs a recording to the frames tarvik-cli runs it to). The machine is
// left at the recording's end.
bool history_replay_hashes(const char* path, uint32_t every, std::string* lines, char* message,
                           size_t messageSize);
// Prints "hash FRAME HEX" to standard output after every `every` frames
// (0: never).
void history_print_hashes(uint32_t every);
// 0, or 1 when a verified replay differed.
int history_exit_status();
void history_reset();

// The rewind ring on or off ("&Visszatekerés"); off drops what it holds.
void history_rewind_enable(bool on);
// F3 held: called once a frame instead of the frame; steps back a second
// every few calls and shows each step. False when there is nothing older.
bool history_rewind_tick();
// Goes back `frames` frames: the newest kept state at or before then, and
// the inputs recorded since replayed up to the frame asked for. False with
// the reason when the history does not reach back so far.
bool history_go_back(uint32_t frames, char* message, size_t messageSize);

// The undo of the monitor and of a paused machine: the state before each
// step or single frame is kept (history_checkpoint), and history_undo puts
// the last one back. Running on forgets them.
void history_checkpoint();
bool history_undo();
