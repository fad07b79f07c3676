// The main window's message handlers, called by the platform: the menu
// commands and accelerators, the keys the host itself looks at, and the
// window-management messages; and the run-state machine (running, paused,
// on-screen monitor) with its titles.
#pragma once

#include <cstdint>

#include "host/output/display.h"

struct AddressPanel;

// Run state: frames run only while running, which is 1 only while neither
// paused nor monitorMode is.
extern uint32_t running;
extern uint32_t paused;
extern uint32_t monitorMode;

inline constexpr const char* TITLE_PAUSED = "Tarvik - (Felfüggesztve)";
inline constexpr const char* TITLE_RESUMED = "Tarvik - (Újraindítva)";
inline constexpr const char* TITLE_MONITOR = "Tarvik - (Monitor)";

// True when a sound driver other than "No sound" is current.
bool sound_on();

// A menu command or accelerator: the sound pauses around it and the pacing
// restarts after it.
void window_on_command(int id);
// A command that opens a file, with its file chosen before it runs (the web
// page's picker comes first): the command's work once its dialog would have
// answered path, with the sound paused around it as for window_on_command.
// askFields fills the address panel where the command's dialog has one
// (false: the user cancelled); null keeps the fields as they are.
void window_on_open_file(int id, const char* path, bool (*askFields)(AddressPanel* panel));
void run_state_pause_toggle();
void run_state_monitor_toggle();

void window_on_key_down(int key);
void window_on_destroy();
void window_on_move();
void window_on_size();
void window_on_paint();
SizeLimits window_on_size_limits();
void window_on_edge_drag(WindowEdge edge, Rect* windowRect);
// state: 0 deactivated, 1 or 2 activated.
void window_on_activate(int state);
void window_on_input_language_change();
// An Alt+letter without a matching mnemonic: true when answered with the
// close-menu code (so that no beep sounds), false for default processing.
bool window_on_menu_char(bool fromPopupOrSystemMenu);
void window_on_double_click();
void window_on_wheel(int delta);
// Entering and leaving a menu loop or a size/move loop.
void window_on_enter_modal_loop();
void window_on_exit_modal_loop();
void window_on_drop_file(const char* path);
