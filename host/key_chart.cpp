// The key map in words: the machine's legends from the keyboard code, the PC
// keys named as on a US keyboard with their place, symbolic characters
// quoted.
#include "host/key_chart.h"

#include "host/cp1250.h"
#include "host/menu.h"
#include "machine/keyboard.h"
#include "machine/machine.h"

const char* const keyChartNote =
    "Amíg az Alt le van nyomva, a gép nem lát billentyűt (az Alt a menüé).";

namespace {

struct KeyName {
  uint8_t vk;
  const char* name;
};
// The keys outside the letters and digits. Punctuation keys differ between
// layouts: each is named by its US character and its place.
const KeyName kKeyNames[] = {
    {VKEY_BACK, "Backspace"},
    {VKEY_TAB, "Tab"},
    {VKEY_RETURN, "Enter"},
    {VKEY_SHIFT, "Shift"},
    {VKEY_CONTROL, "Ctrl"},
    {VKEY_CAPITAL, "Caps Lock"},
    {VKEY_SPACE, "szóköz"},
    {VKEY_END, "End"},
    {VKEY_LEFT, "bal nyíl"},
    {VKEY_UP, "fel nyíl"},
    {VKEY_RIGHT, "jobb nyíl"},
    {VKEY_DOWN, "le nyíl"},
    {VKEY_DELETE, "Delete"},
    {VKEY_LSHIFT, "bal Shift"},
    {VKEY_RSHIFT, "jobb Shift"},
    {VKEY_LCONTROL, "bal Ctrl"},
    {VKEY_RCONTROL, "jobb Ctrl"},
    {VKEY_OEM_1, "; (az L utáni)"},
    {VKEY_OEM_PLUS, "= (a Backspace előtti)"},
    {VKEY_OEM_COMMA, ", (az M utáni)"},
    {VKEY_OEM_MINUS, "- (a 0 utáni)"},
    {VKEY_OEM_PERIOD, ". (az M utáni 2.)"},
    {VKEY_OEM_2, "/ (az M utáni 3.)"},
    {VKEY_OEM_3, "` (az 1 előtti)"},
    {VKEY_OEM_4, "[ (a P utáni)"},
    {VKEY_OEM_5, "\\ (az Enter fölötti)"},
    {VKEY_OEM_6, "] (a P utáni 2.)"},
    {VKEY_OEM_7, "' (az L utáni 2.)"},
    {VKEY_OEM_102, "< > (a bal Shift melletti)"},
};

std::string key_name(uint8_t vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
  for (const KeyName& k : kKeyNames)
    if (k.vk == vk) return k.name;
  return "?";
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
  return model_name() + " billentyűi, " + (symbolicKeyboard == 1 ? "szimbolikus" : "pozicionális") +
         " kiosztás";
}

std::vector<KeyChartRow> key_chart_rows() {
  KeyMapEntry entries[kKeyMapMost];
  const int count = keyboard_key_map(model(), symbolicKeyboard == 1, entries);
  std::vector<KeyChartRow> rows;
  for (int i = 0; i < count; ++i) {
    const KeyMapEntry& e = entries[i];
    KeyChartRow row;
    row.legend = e.legend && *e.legend ? e.legend : "(felirat nélkül)";
    for (int h = 0; h < e.hostCount; ++h) {
      if (h) row.host += " vagy ";
      row.host += e.host[h].virtualKey ? key_name(e.host[h].virtualKey)
                                       : character_name(e.host[h].character);
    }
    if (e.automatic)
      row.host = "magától, a Shifttel írt karakterekhez";
    else if (e.hostCount == 0)
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
