// The debugger's hooks and their defaults.
#include "debugger/hooks.h"

namespace {

bool no_console(const char*) { return false; }
void nothing() {}
int no_width() { return 0; }
bool no_line(char* buffer, int size) {
  if (buffer && size > 0) buffer[0] = '\0';
  return false;
}
void no_text(const char*) {}
void no_attribute(int) {}
void no_geometry(MonitorGeometry* geometry) { *geometry = {}; }
void no_draw(const char* const*, int, int) {}
bool no_history(uint32_t, char* message, size_t size) {
  if (message && size) message[0] = '\0';
  return false;
}

template <typename T> void take(T& slot, T hook) {
  if (hook) slot = hook;
}

} // namespace

DebuggerHooks debuggerHooks = {no_console,  nothing, no_width, no_line, no_text,   no_attribute,
                               no_geometry, no_draw, nothing,  nothing, no_history};

void debugger_set_hooks(const DebuggerHooks& hooks) {
  take(debuggerHooks.consoleOpen, hooks.consoleOpen);
  take(debuggerHooks.consoleClose, hooks.consoleClose);
  take(debuggerHooks.consoleWidth, hooks.consoleWidth);
  take(debuggerHooks.consoleReadLine, hooks.consoleReadLine);
  take(debuggerHooks.consoleWrite, hooks.consoleWrite);
  take(debuggerHooks.consoleSetAttribute, hooks.consoleSetAttribute);
  take(debuggerHooks.monitorGeometry, hooks.monitorGeometry);
  take(debuggerHooks.monitorDraw, hooks.monitorDraw);
  take(debuggerHooks.sessionBegin, hooks.sessionBegin);
  take(debuggerHooks.sessionEnd, hooks.sessionEnd);
  take(debuggerHooks.goBack, hooks.goBack);
}
