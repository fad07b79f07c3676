// The tape browser on the web page: a panel beside the picture (the machine
// runs on while it is open) with the blocks of the tape in the deck, each
// with its own wind button. The page asks for the list as JSON when the
// menu item opens the panel and after every wind.
#include <emscripten/emscripten.h>

#include <string>

#include "host/core/commands.h"
#include "host/platform.h"
#include "host/ui/tape_browser.h"
#include "host/web/web.h"
#include "media/tape_list.h"

namespace {

EM_JS(void, js_tape_panel, (const char* json),
      { TarvikUI.tapePanel(JSON.parse(UTF8ToString(json))); });

std::string panel_json() {
  const TapeList& list = tape_list();
  std::string json =
      "{\"title\":" + web_json_string(tapeBrowserTitle) +
      ",\"heading\":" + web_json_string(tape_browser_heading().c_str()) +
      ",\"place\":" + web_json_string(list.blocks.empty() ? "" : tape_list_place_text().c_str()) +
      ",\"wind\":" + web_json_string(tapeBrowserWind) +
      ",\"close\":" + web_json_string(tapeBrowserClose) + ",\"columns\":[";
  for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c)
    json += (c ? "," : "") + web_json_string(tapeBrowserColumns[c]);
  json += "],\"rows\":[";
  for (size_t i = 0; i < list.blocks.size(); ++i) {
    std::string columns[TAPE_BROWSER_COLUMNS];
    tape_browser_columns(i, columns);
    json += i ? ",[" : "[";
    for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c)
      json += (c ? "," : "") + web_json_string(columns[c].c_str());
    json += "]";
  }
  TapePlace place;
  const bool placed = tape_list_place(&place) && place.kind != TAPE_PLACE_AFTER_LAST;
  json += "],\"current\":" + std::to_string(placed ? static_cast<int>(place.block) : -1) + "}";
  return json;
}

} // namespace

void web_tape_panel_open() { js_tape_panel(panel_json().c_str()); }

extern "C" {

// The panel's contents as JSON: title, heading, place, button labels,
// columns, rows and the row of the block the tape is in or before (-1).
EMSCRIPTEN_KEEPALIVE const char* web_tape_browser() {
  static std::string json;
  json = panel_json();
  return json.c_str();
}

// A row's wind button: 1 when the tape was wound to that block.
EMSCRIPTEN_KEEPALIVE int web_tape_wind(int index) {
  return index >= 0 && tape_browser_wind(static_cast<size_t>(index)) ? 1 : 0;
}

} // extern "C"
