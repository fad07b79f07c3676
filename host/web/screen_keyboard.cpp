// The page's on-screen keyboard: the keys of the model in use with their
// legends, each with the host key that presses it in positional mode, read
// from the machine's own key map. The page presses them through
// web_machine_key (main.cpp), as a physical key goes.
#include <emscripten/emscripten.h>

#include <string>

#include "host/web/web.h"
#include "machine/keyboard.h"
#include "machine/machine.h"

extern "C" {

// The model in use (a MachineModel); the page redraws its keyboard when it
// changes.
EMSCRIPTEN_KEEPALIVE int web_model() { return static_cast<int>(model()); }

// {"model":m,"keys":[[index,legend,vk],...]}: every key of the model's
// matrix that has a legend, with the virtual key that presses it (0: none).
EMSCRIPTEN_KEEPALIVE const char* web_key_map() {
  static std::string json;
  KeyMapEntry entries[kKeyMapMost];
  const int count = keyboard_key_map(model(), false, entries);
  json = "{\"model\":" + std::to_string(model()) + ",\"keys\":[";
  bool first = true;
  for (int i = 0; i < count; ++i) {
    const KeyMapEntry& e = entries[i];
    if (!e.legend || !*e.legend) continue;
    json += first ? "[" : ",[";
    json += std::to_string(e.index) + "," + web_json_string(e.legend) + "," +
            std::to_string(e.hostCount ? e.host[0].virtualKey : 0) + "]";
    first = false;
  }
  json += "]}";
  return json.c_str();
}

} // extern "C"
