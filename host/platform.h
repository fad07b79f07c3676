// What the host needs of the operating system: everything a platform must
// provide, asked in the emulator's own terms (a frame bitmap and how to
// scale it, the kinds of sound output, the host's dialogs, the window's
// edges, keys as the VKEY_* codes), which each platform maps to its
// system's. host/win32/ implements these with the Windows functions,
// host/gtk/ with GTK and SDL, host/web/ with the browser's, and
// host/headless/ with the C library and POSIX, without a window (the tests
// and tarvik-cli); GTK, web and headless share host/posix/. The choice is
// made at link time. The host keeps its own state (check marks, keys held,
// script mode) and calls down here only to show or ask.
//
// The sections, and how a platform may leave a part out (the functions are
// still defined, answering as said):
//   sound devices        optional: platform_sound_driver answers null ("No sound")
//   clock                required
//   window and message queue  required
//   file dialogs         required
//   frame presentation   required; the stretched way may fail to prepare
//                        (the host then draws the bitmap unscaled)
//   status bar control   optional: platform_status_create answers false (the
//                        texts are kept without a bar)
//   clipboard            optional: platform_clipboard_open answers false
//   screen reader, speech optional: the new lines may be dropped, and
//                        platform_speech_start answers false (no speech)
//   keyboard             required
//   files                required
//   settings store       optional: platform_settings_open answers false (the
//                        defaults at every start)
//   AVI file             optional: platform_avi_init answers false
//   console              optional: platform_console_open answers false (no
//                        interactive monitor)
//   on-screen monitor    required
// The automation mode (script lines) is a separate, optional part:
// host/platform_script.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "debugger/hooks.h"

struct SoundDriver;
struct FrameBitmap;
struct FileDialogKind;

// A rectangle in pixels; right and bottom lie just outside.
struct Rect {
  int32_t left, top, right, bottom;
};

// ---- sound devices --------------------------------------------------------
// The two ways of feeding a sound device that the host can ask for. The
// "SoundDriver" setting numbers them 1 and 2 (0 is the host's own "No
// sound"); the Windows platform answers them with DirectSound and WaveOut.
enum SoundOutput {
  // A looping one-second ring that the host writes ahead of the play
  // position, which the device reports.
  SOUND_OUTPUT_RING,
  // The 20 ms blocks queued in turn; the position is the count played.
  SOUND_OUTPUT_QUEUE,
};
// The driver record for that output; null when the platform has none. A
// platform with one device answers both with it (the headless platform with
// a virtual device that plays in step with what it is given).
const SoundDriver* platform_sound_driver(SoundOutput output);

// ---- requests to end the run -------------------------------------------------
// Watches for the requests to end the run that come from outside the window:
// SIGINT, SIGTERM and SIGHUP; on Windows the console's Ctrl+C, Ctrl+Break
// and close. The handler only notes the request (a second signal of the
// same kind then ends the process at once); the main loop acts on it.
void platform_watch_end_requests();
// True once such a request came.
bool platform_end_requested();

// ---- clock ----------------------------------------------------------------
// A monotonic counter with at least microsecond resolution and its ticks per
// second; a sleep of whole milliseconds; the display's refresh rate in Hz
// (0 when the platform cannot tell).
int64_t platform_counter_frequency();
int64_t platform_counter();
void platform_sleep_ms(uint32_t milliseconds);
uint32_t platform_refresh_rate();

// ---- window and message queue --------------------------------------------
// Creates the main window (hidden) with the given title; false when the
// window class or the window cannot be made.
bool platform_window_create(const char* title, int32_t width, int32_t height);
void platform_window_show();
void platform_window_destroy();
// Handles one waiting message: translated against the accelerators and
// dispatched to the window handlers of host/core/window.h. With wait set, blocks
// until one comes. Returns what happened; on PLATFORM_MESSAGE_QUIT the quit
// message's parameter is in *exitCode.
enum PlatformMessage { PLATFORM_MESSAGE_NONE, PLATFORM_MESSAGE_HANDLED, PLATFORM_MESSAGE_QUIT };
PlatformMessage platform_handle_message(bool wait, int* exitCode);
// The close request (default processing destroys the window) and the quit
// message that ends the main loop.
void platform_post_close();
void platform_post_quit(int exitCode);
void platform_set_title(const char* text);
// Draws an item's check mark (the host keeps the marks: host/ui/menu_checks.h).
void platform_menu_check(int id, bool checked);
// Items whose text the host sets while it runs (the recent files): the item
// shows this label ("&" marks the mnemonic, "&&" is a plain "&"), greyed
// unless enabled; a null label hides it.
void platform_menu_set_item(int id, const char* label, bool enabled);
// Removes or restores the maximise box and the system menu's maximise entry.
void platform_set_maximize_box(bool enabled);
void platform_maximize();
void platform_invalidate(bool erase);
void platform_invalidate_rect(const Rect& rect, bool erase);
// Client rectangle in client coordinates; conversion to screen coordinates.
Rect platform_client_rect();
Rect platform_client_to_screen(const Rect& rect);
Rect platform_window_rect();
// The window rectangle that holds a client area of this size with the
// window's current style and its menu.
Rect platform_window_rect_for_client(int32_t width, int32_t height);
void platform_move_window(const Rect& rect);
Rect platform_screen_rect();
// Full screen: the platform remembers the window rectangle, style and menu,
// turns the window into a borderless one covering the screen without menu
// and hides the cursor; leaving restores all of it.
void platform_full_screen_enter();
void platform_full_screen_leave();
// Message box; caption may be empty. Icons: 0 none, 1 stop, 2 exclamation.
enum { PLATFORM_ICON_NONE = 0, PLATFORM_ICON_STOP = 1, PLATFORM_ICON_EXCLAMATION = 2 };
void platform_message_box(const char* caption, const char* text, int icon);
// The same box without waiting for it: the call returns at once and the
// program runs on behind the box until the user closes it.
void platform_message_box_modeless(const char* caption, const char* text, int icon);
// The host's modal dialogs; their texts are in host/ui/about.h and
// host/ui/tape_browser.h. The tape browser winds the tape through
// tape_browser_wind (host/core/commands.h); on the web page it is a panel
// that stays open while the machine runs.
enum HostDialog { HOST_DIALOG_ABOUT, HOST_DIALOG_KEYBOARD_CHART, HOST_DIALOG_TAPE_BROWSER };
void platform_modal_dialog(HostDialog dialog);
// The edge or corner of the window that the user drags to size it.
enum WindowEdge {
  WINDOW_EDGE_LEFT,
  WINDOW_EDGE_RIGHT,
  WINDOW_EDGE_TOP,
  WINDOW_EDGE_TOP_LEFT,
  WINDOW_EDGE_TOP_RIGHT,
  WINDOW_EDGE_BOTTOM,
  WINDOW_EDGE_BOTTOM_LEFT,
  WINDOW_EDGE_BOTTOM_RIGHT,
};

// ---- file dialogs ---------------------------------------------------------
// The address panel of the ROM/BIN load and memory save dialogs: two
// hexadecimal texts of up to 5 characters, filled in before the dialog
// opens and read back when it closes; and the filter chosen (1-based).
struct AddressPanel {
  char start[6];
  char end[6];
  uint32_t filterIndex;
};
// Asks for a file name with the dialog kind (host/ui/file_dialogs.h); name holds up
// to size - 1 characters and is the proposal on entry. Returns false when
// the user cancelled. Save dialogs append the kind's default extension to a
// name without any ".".
bool platform_file_dialog(const FileDialogKind* kind, char* name, size_t size, AddressPanel* panel);
// The save dialog asked for in the middle of an operation (host/dialogs.h,
// host_save_file_dialog).
bool platform_save_file_dialog(const char* title, const char* filter, const char* defaultExtension,
                               char* path, size_t pathSize);

// ---- frame presentation ---------------------------------------------------
// How the frame bitmap reaches the picture area. The "VideoDriver" setting
// chooses between a scaling surface (0: PRESENT_STRETCHED) and drawing the
// bitmap as it is (1: unscaled, or whole multiples with pixel-exact
// scaling); the Windows platform does the first with DirectDraw and the
// others with GDI.
enum PresentScaling {
  PRESENT_UNSCALED,        // one to one at the destination's top-left corner
  PRESENT_WHOLE_MULTIPLES, // every pixel repeated to fill the destination, never smoothed
  PRESENT_STRETCHED,       // the source scaled to the destination by a scaling surface
};
// Gets ready to present this way, for sources of up to width x height
// pixels, and gives up what another way held (a library stays loaded).
// False when it cannot, the user told why by the platform; nothing may be
// presented stretched then.
bool platform_present_prepare(PresentScaling how, int32_t width, int32_t height);
// Shows the source rectangle of the bitmap (512 pixels wide, its rows as
// its header says, top-down) in the destination rectangle of the client
// area (client coordinates), scaled the way given; the rest of the picture
// area is black.
void platform_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& source,
                      const Rect& destination, PresentScaling how);
// A presentation is due but the window already shows that very frame, shown
// the same way: nothing needs drawing (a platform that counts what it shows
// counts it).
void platform_present_same();
// At exit: releases everything presentation holds.
void platform_present_release();

// ---- status bar control ---------------------------------------------------
// Creates the control with its parts (right edges, -1 = to the border);
// false when it cannot be made.
bool platform_status_create(const int32_t* rightEdges, int parts);
void platform_status_destroy();
// Sets a part's text and its tooltip.
void platform_status_set_text(int part, const char* text);
int32_t platform_status_height();
// Places the bar at the bottom of the window and draws the indicators.
void platform_status_layout();

// ---- screen reader and speech ---------------------------------------------
// The screen's text changed (screen_reader_text, host/output/screen_reader.h)
// and these lines are new (UTF-8, each ended by "\n"; "" when only old
// lines moved or went): for the system's accessibility interface.
void platform_screen_changed(const char* newLines);
// Opens the system's speech service; false when there is none.
bool platform_speech_start();
void platform_speech_stop();
// Speaks UTF-8 text after what is being spoken.
void platform_speak(const char* text);

// ---- clipboard ------------------------------------------------------------
// Plain code page 1250 text. Open and close around every use.
bool platform_clipboard_open();
void platform_clipboard_close();
// Replaces the contents; false when the block cannot be allocated.
bool platform_clipboard_set_text(const char* text, size_t length);
// The text on the clipboard (zero-terminated) while it is open, or null.
const char* platform_clipboard_text();

// ---- keyboard -------------------------------------------------------------
// The platform reports every key going down or up through host_key_event
// (host/core/keys.h), as the Windows virtual key that the host's active layout
// gives it, with the character it types.
// What the key with this virtual key shows on the active layout: the
// character it types without modifiers (Unicode; 0 when the platform cannot
// tell), and its place, as the virtual key a US keyboard has there (0 when
// unknown).
uint32_t platform_key_label(int vk, int* place);

// ---- files ----------------------------------------------------------------
// The separator between folder and file names on the host ('\\' or '/').
char platform_path_separator();
// The folder of the files the program keeps for the user (the quick
// snapshots), created when missing: %APPDATA%\Tarvik on Windows,
// $XDG_DATA_HOME/tarvik (or ~/.local/share/tarvik) on Linux. Without a
// trailing separator; false when there is none.
bool platform_data_folder(char* folder, size_t size);
// A file in that folder, or one the recent files name, was written or
// handed in: a platform whose files do not outlast the run (the browser)
// keeps a copy. Elsewhere nothing happens.
void platform_keep_file(const char* path);

// ---- settings store -------------------------------------------------------
// A per-user store of named 32-bit numbers and texts under the given key
// path. Reads fail for a missing value and for one of the other kind; a text
// read also fails when the text does not fit in size bytes with its
// terminator. Writes reach the store at the latest when it is closed.
bool platform_settings_open(const char* keyPath);
bool platform_settings_read(const char* name, uint32_t* value);
bool platform_settings_write(const char* name, uint32_t value);
bool platform_settings_read_text(const char* name, char* text, size_t size);
bool platform_settings_write_text(const char* name, const char* text);
void platform_settings_close();

// ---- AVI file -------------------------------------------------------------
// One file at a time: a video stream of 1-bit frames and an optional 48 kHz
// 16-bit mono PCM stream.
bool platform_avi_init(); // false when the AVI library is missing or too old
void platform_avi_exit();
bool platform_avi_open(const char* fileName);
// Video stream of width x rows pixels at rate / scale frames per second.
bool platform_avi_create_video(int32_t width, int32_t rows, uint32_t suggestedBufferSize,
                               uint32_t rate, uint32_t scale);
// The compressor choice, asked of the user (false when cancelled); without
// ask (script mode) the frames are stored uncompressed.
bool platform_avi_choose_compressor(bool ask);
// The frame format: a bitmap description (height positive, bottom-up rows)
// with its palette, formatSize bytes in all.
bool platform_avi_set_video_format(const FrameBitmap* format, uint32_t formatSize);
// The frame rate measured over the capture, declared when the file is
// finished where the platform can still change it (AVIFile cannot: its
// files keep the rate they were created with).
void platform_avi_set_video_rate(uint32_t rate, uint32_t scale);
bool platform_avi_create_audio();
// False when the sample could not be written (a full disk, or the file would
// grow past what the platform's format can hold): the capture must end, and
// the file then holds the samples before it.
bool platform_avi_write_video(uint32_t position, const uint8_t* data, uint32_t bytes);
bool platform_avi_write_audio(uint32_t samplePosition, const uint8_t* data, uint32_t bytes);
void platform_avi_release_audio();
void platform_avi_release_streams();
// Extra data stored in the file under a four-character code.
bool platform_avi_write_data(const char* fourcc, const uint8_t* data, uint32_t bytes);
// Finishes and closes the file. False when it could not be written
// completely; *framesInFile is the number of video frames a reader finds in
// it either way.
bool platform_avi_close(uint32_t* framesInFile);

// ---- console ----------------------------------------------------------------
// The text console of the interactive monitor. Text attributes are the
// console's colour numbers (CONSOLE_ATTRIBUTE_*, debugger/hooks.h).
// Creates the console for the process and gives it the title; false when no
// console can be created.
bool platform_console_open(const char* title);
// Releases the console (nothing when none is open).
void platform_console_close();
// The console window's width in columns.
int platform_console_width();
// Reads one line typed by the user into the buffer (size bytes, terminated),
// including its line end when that fits; the rest of a longer line is
// dropped. False when no more input can come.
bool platform_console_read_line(char* buffer, int size);
void platform_console_write(const char* text);
void platform_console_set_attribute(int attribute);

// ---- on-screen monitor --------------------------------------------------------
// What the monitor's text layout is measured from (MonitorGeometry,
// debugger/hooks.h).
void platform_monitor_geometry(MonitorGeometry* geometry);
// Fills the area above the status bar black and draws the rows of text
// white on black in the fixed-pitch font, row r at x = 0, y = r * line
// height. With separatorRow >= 0 a white horizontal line goes across the
// width at y = separatorRow * line height - 1.
void platform_monitor_draw(const char* const* rows, int count, int separatorRow);
