// Screen reader and speech: the Windows program offers neither yet. The
// screen's new lines are dropped, and "&Felolvasás" says there is no speech
// service.
#include "host/platform.h"

void platform_screen_changed(const char*) {}
bool platform_speech_start() { return false; }
void platform_speech_stop() {}
void platform_speak(const char*) {}
