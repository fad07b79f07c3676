// The tape browser's texts, read from the portable list.
#include "host/ui/tape_browser.h"

#include "media/tape_list.h"

const char* const tapeBrowserTitle = "Kazetta blokkjai";
const char* const tapeBrowserColumns[TAPE_BROWSER_COLUMNS] = {"Sorszám", "Név", "Cím", "Hossz",
                                                              "Ellenőrzőösszeg"};
const char* const tapeBrowserWind = "&Tekerés";
const char* const tapeBrowserClose = "Bezárás";

std::string tape_browser_heading() {
  const TapeList& list = tape_list();
  if (list.blocks.empty()) return list.notice;
  return list.file + " (" + (list.kind == TAPE_LIST_IMAGE ? "TKT" : "WAV") + ", " +
         std::to_string(list.blocks.size()) + " blokk)";
}

void tape_browser_columns(size_t index, std::string (&columns)[TAPE_BROWSER_COLUMNS]) {
  const TapeList& list = tape_list();
  if (index >= list.blocks.size()) {
    for (std::string& c : columns) c.clear();
    return;
  }
  const TapeListRow row = tape_list_row(list.blocks[index]);
  columns[0] = std::to_string(index + 1);
  columns[1] = row.name;
  columns[2] = row.range;
  columns[3] = row.length;
  columns[4] = row.check;
}

std::string tape_browser_text() {
  std::string line = std::string("dialog: ") + tapeBrowserTitle + " | " + tape_browser_heading();
  const size_t count = tape_list().blocks.size();
  if (count) line += " | " + tape_list_place_text();
  for (size_t i = 0; i < count; ++i) {
    std::string columns[TAPE_BROWSER_COLUMNS];
    tape_browser_columns(i, columns);
    line += " |";
    for (const std::string& c : columns) line += " " + c;
  }
  return line;
}
