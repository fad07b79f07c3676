// What the debugger asks of the host: the text console of the interactive
// monitor, the surface of the on-screen monitor, and the pause of the
// emulation's sound and pacing while the console monitor runs. The
// debugger declares these function pointers; the host sets them at
// start-up. Until then there is no console and nothing is drawn.
#pragma once

#include <cstddef>
#include <cstdint>

// Console text attributes are the console's colour numbers: 10 bright
// green on black, 15 bright white.
inline constexpr int CONSOLE_ATTRIBUTE_NORMAL = 10;
inline constexpr int CONSOLE_ATTRIBUTE_BRIGHT = 15;

// What the on-screen monitor's text layout is measured from: the window's
// client area, the status bar's height, and the cell of the fixed-pitch
// font (maximum character width, line height), all in pixels.
struct MonitorGeometry {
  int clientWidth;
  int clientHeight;
  int statusBarHeight;
  int charWidth;
  int lineHeight;
};

struct DebuggerHooks {
  // The console: opened with a title (false when none can be made), closed,
  // its width in columns, one line read (false when no more input can
  // come), text written, the attribute of the text that follows.
  bool (*consoleOpen)(const char* title);
  void (*consoleClose)();
  int (*consoleWidth)();
  bool (*consoleReadLine)(char* buffer, int size);
  void (*consoleWrite)(const char* text);
  void (*consoleSetAttribute)(int attribute);
  // The on-screen monitor: its geometry, and the rows of text drawn (see
  // platform_monitor_draw).
  void (*monitorGeometry)(MonitorGeometry* geometry);
  void (*monitorDraw)(const char* const* rows, int count, int separatorRow);
  // The console monitor's session: the sound stops when it opens; when it
  // ends the sound goes on and the real-time pacing starts afresh, so that
  // the emulation does not catch up.
  void (*sessionBegin)();
  void (*sessionEnd)();
  // The machine back by this many frames through the host's history; false
  // with the reason when it does not reach so far.
  bool (*goBack)(uint32_t frames, char* message, size_t messageSize);
};

extern DebuggerHooks debuggerHooks;
// Installs the hooks; a null member leaves the default in place.
void debugger_set_hooks(const DebuggerHooks& hooks);
