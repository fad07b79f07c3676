// The screen reader and speech on the page: new lines go to the page's
// polite live region and the whole screen to its review text
// (tarvik-reader.js); speech is the browser's Web Speech API.
#include <emscripten.h>

#include "host/output/screen_reader.h"
#include "host/platform.h"

namespace {

EM_JS(void, js_screen_changed, (const char* news, const char* text),
      { TarvikReader.changed(UTF8ToString(news), UTF8ToString(text)); });
EM_JS(int, js_speech_available, (), { return TarvikReader.speechAvailable() ? 1 : 0; });
EM_JS(void, js_speak, (const char* text), { TarvikReader.speak(UTF8ToString(text)); });
EM_JS(void, js_speech_stop, (), { TarvikReader.speechStop(); });

char cursorText[40];

} // namespace

void platform_screen_changed(const char* newLines) {
  js_screen_changed(newLines, screen_reader_text(nullptr));
}

bool platform_speech_start() { return js_speech_available() != 0; }
void platform_speech_stop() { js_speech_stop(); }
void platform_speak(const char* text) { js_speak(text); }

// The cursor's place as the page tells it ("sor 4, oszlop 3").
extern "C" EMSCRIPTEN_KEEPALIVE const char* web_cursor_place() {
  screen_reader_cursor_text(cursorText, sizeof cursorText);
  return cursorText;
}
