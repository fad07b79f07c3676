// Speech through speech-dispatcher: a connection opened when "&Felolvasás"
// is switched on (the service is started if it is not running), each text
// said as a message after the ones before it.
#include <libspeechd.h>

#include <cstdlib>

#include "host/platform.h"

namespace {

SPDConnection* connection;

} // namespace

bool platform_speech_start() {
  if (connection) return true;
  char* error = nullptr;
  connection = spd_open2("tarvik", "screen", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
  std::free(error);
  if (!connection) return false;
  spd_set_language(connection, "hu");
  return true;
}

void platform_speech_stop() {
  if (!connection) return;
  spd_close(connection);
  connection = nullptr;
}

void platform_speak(const char* text) {
  if (connection) spd_say(connection, SPD_MESSAGE, text);
}
