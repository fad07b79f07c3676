// Looking at the screen for new lines a few times a second.
#include "host/core/screen_news.h"

#include "host/output/screen_reader.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"

namespace {

uint32_t framesSinceLook;
bool speaking;

constexpr const char* kNoSpeech = "Ezen a rendszeren nincs elérhető beszédszolgáltatás.";

void set_speaking(bool on) {
  if (on == speaking) return;
  if (on) {
    if (!platform_speech_start()) on = false;
  } else {
    platform_speech_stop();
  }
  speaking = on;
  hostOptions.ReadAloud = on ? 1 : 0;
  menu_set_checked(CMD_READ_ALOUD, on);
}

} // namespace

void screen_news_after_frame() {
  if (++framesSinceLook < SCREEN_NEWS_EVERY_FRAMES) return;
  framesSinceLook = 0;
  if (!screen_reader_look()) return;
  const char* lines = screen_reader_news();
  platform_screen_changed(lines);
  if (speaking && lines[0]) platform_speak(lines);
}

void screen_news_toggle_speech() {
  const bool on = !speaking;
  set_speaking(on);
  if (on && !speaking) host_message_box("Felolvasás", kNoSpeech, PLATFORM_ICON_STOP);
}

void screen_news_start() {
  framesSinceLook = 0;
  screen_reader_reset();
  if (hostOptions.ReadAloud == 1) set_speaking(true);
}

void screen_news_stop() {
  if (speaking) platform_speech_stop();
  speaking = false;
  screen_reader_reset();
}
