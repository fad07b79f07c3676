// The browser platform's parts that its files share. The page's script
// (page/tarvik-ui.js, the object TarvikUI) draws, plays and stores; these
// functions are its C++ side.
#pragma once

#include <cstdint>
#include <string>

// ---- window (window.cpp) ------------------------------------------------------
// The size of the picture area in CSS pixels, as the page measured it.
void web_client_size(int32_t* width, int32_t* height);
// True while the machine stands still for the console monitor's next line.
bool web_console_waiting();
// True once after the host asked for a repaint.
bool web_take_paint();
// A JSON string literal of a UTF-8 text.
std::string web_json_string(const char* text);

// ---- the tape browser (tape_browser.cpp) ----------------------------------------
// Shows the page's panel with the list of the tape in the deck.
void web_tape_panel_open();

// ---- keys (keyboard.cpp) ------------------------------------------------------
// A key pressed or released: its place (named by the key a US keyboard has
// there), what the active layout types there plainly as far as the page
// knows (Unicode, 0 unknown), and what the event types (Unicode; 0 none,
// HOST_KEY_DEAD for a dead key).
void web_key_event(int place, uint32_t plain, uint32_t character, bool down);
// The text the page read from the browser's clipboard becomes the host's
// clipboard text (code page 1250).
void web_clipboard_receive(const char* utf8);

// ---- files (files.cpp) ---------------------------------------------------------
// The folder of the files the page hands in and of the files that leave as
// downloads; the folder of the user's ROM dumps.
inline constexpr const char* WEB_INPUT_FOLDER = "/input";
inline constexpr const char* WEB_SAVE_FOLDER = "/saves";
inline constexpr const char* WEB_ROM_FOLDER = "/roms";
// The user's data folder (quick snapshots), kept by the page between visits.
inline constexpr const char* WEB_DATA_FOLDER = "/data";
// Asks the page for the address panel's two fields, one after the other;
// false when the user cancelled either.
struct AddressPanel;
bool web_ask_address_fields(AddressPanel* panel);
// Hands the finished files of the save folder to the page as downloads;
// with quietOnly, only those whose size has not changed since the last call.
void web_files_deliver(bool quietOnly);
