// The key map in words: the machine's legends from the keyboard code, the PC
// keys named by what the host's keyboard shows on them and their place,
// symbolic characters quoted.
#include "host/ui/key_chart.h"

#include "host/platform.h"
#include "host/ui/cp1250.h"
#include "host/ui/menu.h"
#include "machine/keyboard.h"
#include "machine/machine.h"

const char* const keyChartNote =
    "Amíg az Alt le van nyomva, a gép nem lát billentyűt (az Alt a menüé).";

namespace {

struct KeyName {
  uint8_t vk;
  const char* name;
};
// The keys outside the letters, the digits and the punctuation keys.
const KeyName kKeyNames[] = {
    {VKEY_BACK, "Backspace"},     {VKEY_TAB, "Tab"},
    {VKEY_RETURN, "Enter"},       {VKEY_SHIFT, "Shift"},
    {VKEY_CONTROL, "Ctrl"},       {VKEY_CAPITAL, "Caps Lock"},
    {VKEY_SPACE, "szóköz"},       {VKEY_END, "End"},
    {VKEY_LEFT, "bal nyíl"},      {VKEY_UP, "fel nyíl"},
    {VKEY_RIGHT, "jobb nyíl"},    {VKEY_DOWN, "le nyíl"},
    {VKEY_DELETE, "Delete"},      {VKEY_LSHIFT, "bal Shift"},
    {VKEY_RSHIFT, "jobb Shift"},  {VKEY_LCONTROL, "bal Ctrl"},
    {VKEY_RCONTROL, "jobb Ctrl"},
};
// The punctuation keys differ between layouts: each is named by what the
// host's keyboard shows on it and by its place, which is named by the key
// there on a US keyboard; the US character stands in where the platform
// cannot tell what its layout shows.
struct PlaceName {
  uint8_t place;
  const char* usCharacter;
  const char* where;
};
const PlaceName kPlaces[] = {
    {VKEY_OEM_1, ";", "az L utáni"},
    {VKEY_OEM_PLUS, "=", "a Backspace előtti"},
    {VKEY_OEM_COMMA, ",", "az M utáni"},
    {VKEY_OEM_MINUS, "-", "a 0 utáni"},
    {VKEY_OEM_PERIOD, ".", "az M utáni 2."},
    {VKEY_OEM_2, "/", "az M utáni 3."},
    {VKEY_OEM_3, "`", "az 1 előtti"},
    {VKEY_OEM_4, "[", "a P utáni"},
    {VKEY_OEM_5, "\\", "az Enter fölötti"},
    {VKEY_OEM_6, "]", "a P utáni 2."},
    {VKEY_OEM_7, "'", "az L utáni 2."},
    {VKEY_OEM_102, "< >", "a bal Shift melletti"},
    {'0', "0", "a 9 utáni"},
};

const PlaceName* place_of(int place) {
  for (const PlaceName& p : kPlaces)
    if (p.place == place) return &p;
  return nullptr;
}

// A letter as the key shows it: in capitals.
uint32_t capital(uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0x0151 || c == 0x0171) return c - 1; // ő ű
  return c;
}

std::string utf8_of(uint32_t c) {
  const int byte = cp1250_from_unicode(c);
  if (byte < 0) return "?";
  const char b = static_cast<char>(byte);
  return cp1250_to_utf8(&b, 1);
}

std::string key_name(uint8_t vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
    // The digit 0 is where the layout puts it: say where when that is not
    // after the 9.
    int place = 0;
    platform_key_label(vk, &place);
    const PlaceName* p = place_of(place);
    if (vk == '0' && place && place != '0' && p) return "0 (" + std::string(p->where) + ")";
    return std::string(1, char(vk));
  }
  for (const KeyName& k : kKeyNames)
    if (k.vk == vk) return k.name;
  int place = 0;
  const uint32_t shown = platform_key_label(vk, &place);
  const PlaceName* where = place_of(place ? place : vk);
  if (shown && where && shown >= 0x20) return utf8_of(capital(shown)) + " (" + where->where + ")";
  const PlaceName* us = place_of(vk);
  if (us) return std::string(us->usCharacter) + " (" + us->where + ")";
  return "?";
}

// Symbolic mode: a key that stands in for a character presses it only where
// the host's layout gives it no letter and none of the machine's characters.
bool stands_in(uint8_t vk, const KeyMapEntry* entries, int count) {
  int place = 0;
  const uint32_t shown = platform_key_label(vk, &place);
  if (shown == 0) return true;
  const int c = cp1250_from_unicode(shown);
  if (c < 0) return true;
  if (capital(shown) != shown || (shown >= 'a' && shown <= 'z')) return false; // a letter
  for (int i = 0; i < count; ++i)
    for (int h = 0; h < entries[i].hostCount; ++h)
      if (entries[i].host[h].character == c) return false;
  return true;
}

std::string character_name(uint8_t c) {
  const char byte = static_cast<char>(c);
  return "„" + cp1250_to_utf8(&byte, 1) + "”";
}

std::string model_name() {
  const MenuEntry* item = menu_find(CMD_MODEL_FIRST + model());
  std::string name;
  for (const char* p = item ? item->label : ""; *p; ++p)
    if (*p != '&') name += *p;
  return name;
}

} // namespace

std::string key_chart_heading() {
  return model_name() + " billentyűi, " +
         (machineState.symbolicKeyboard == 1 ? "szimbolikus" : "pozicionális") + " kiosztás";
}

std::vector<KeyChartRow> key_chart_rows() {
  KeyMapEntry entries[kKeyMapMost];
  const int count = keyboard_key_map(model(), machineState.symbolicKeyboard == 1, entries);
  std::vector<KeyChartRow> rows;
  for (int i = 0; i < count; ++i) {
    const KeyMapEntry& e = entries[i];
    KeyChartRow row;
    row.legend = e.legend && *e.legend ? e.legend : "(felirat nélkül)";
    int shown = 0;
    for (int h = 0; h < e.hostCount; ++h) {
      const KeyMapHost& host = e.host[h];
      if (host.fallback && !stands_in(host.virtualKey, entries, count)) continue;
      if (shown++) row.host += " vagy ";
      row.host += host.virtualKey ? key_name(host.virtualKey) : character_name(host.character);
    }
    if (e.automatic)
      row.host = "magától, a Shifttel írt karakterekhez";
    else if (shown == 0)
      row.host = "nincs PC-billentyűje";
    rows.push_back(row);
  }
  return rows;
}

std::string key_chart_text(const char* lineEnd) {
  std::string text = key_chart_heading() + lineEnd;
  for (const KeyChartRow& row : key_chart_rows()) text += row.legend + "\t" + row.host + lineEnd;
  return text + keyChartNote + lineEnd;
}
