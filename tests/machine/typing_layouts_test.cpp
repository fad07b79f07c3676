// Typing in symbolic mode on the layouts users have: every character the
// key map lists reaches the firmware's prompt exactly once on a US, a German
// and a Hungarian keyboard, typed as quickly as a program types (no frame
// between the keys), through the host's key path as the platforms report
// keys: the virtual key the layout gives each place, the character the key
// types, dead keys composed with the next key.
#include <string>
#include <vector>

#include "firmware_helpers.h"
#include "host/core/keys.h"
#include "host/ui/cp1250.h"
#include "host/ui/key_layout.h"
#include "machine/keyboard.h"

namespace {

constexpr uint32_t kDead = 0x80000000; // a dead key: the accent waits for the next key

struct TestKey {
  uint8_t place;
  uint32_t plain, shift, altGr;
};

// clang-format off
const std::vector<TestKey> kUs = {
    {VKEY_OEM_3, '`', '~', 0},  {'1', '1', '!', 0}, {'2', '2', '@', 0}, {'3', '3', '#', 0},
    {'4', '4', '$', 0}, {'5', '5', '%', 0}, {'6', '6', '^', 0}, {'7', '7', '&', 0},
    {'8', '8', '*', 0}, {'9', '9', '(', 0}, {'0', '0', ')', 0}, {VKEY_OEM_MINUS, '-', '_', 0},
    {VKEY_OEM_PLUS, '=', '+', 0}, {VKEY_OEM_4, '[', '{', 0}, {VKEY_OEM_6, ']', '}', 0},
    {VKEY_OEM_5, '\\', '|', 0}, {VKEY_OEM_1, ';', ':', 0}, {VKEY_OEM_7, '\'', '"', 0},
    {VKEY_OEM_COMMA, ',', '<', 0}, {VKEY_OEM_PERIOD, '.', '>', 0}, {VKEY_OEM_2, '/', '?', 0},
};
const std::vector<TestKey> kGerman = {
    {VKEY_OEM_3, '^' | kDead, 0xB0, 0}, {'1', '1', '!', 0}, {'2', '2', '"', 0},
    {'3', '3', 0xA7, 0}, {'4', '4', '$', 0}, {'5', '5', '%', 0}, {'6', '6', '&', 0},
    {'7', '7', '/', '{'}, {'8', '8', '(', '['}, {'9', '9', ')', ']'}, {'0', '0', '=', '}'},
    {VKEY_OEM_MINUS, 0xDF, '?', '\\'}, {VKEY_OEM_PLUS, 0xB4 | kDead, '`' | kDead, 0},
    {'Q', 'q', 'Q', '@'}, {'Y', 'z', 'Z', 0}, {VKEY_OEM_4, 0xFC, 0xDC, 0},
    {VKEY_OEM_6, '+', '*', '~'}, {VKEY_OEM_1, 0xF6, 0xD6, 0}, {VKEY_OEM_7, 0xE4, 0xC4, 0},
    {VKEY_OEM_5, '#', '\'', 0}, {VKEY_OEM_102, '<', '>', '|'}, {'Z', 'y', 'Y', 0},
    {VKEY_OEM_COMMA, ',', ';', 0}, {VKEY_OEM_PERIOD, '.', ':', 0}, {VKEY_OEM_2, '-', '_', 0},
};
// clang-format on

// The letters every layout here has where a US keyboard has them, but for
// the German and Hungarian Y and Z, which the tables above give.
std::vector<TestKey> with_letters(std::vector<TestKey> keys) {
  for (int c = 'A'; c <= 'Z'; ++c) {
    bool listed = false;
    for (const TestKey& k : keys) listed = listed || k.place == c;
    if (!listed) keys.push_back({static_cast<uint8_t>(c), uint32_t(c + 0x20), uint32_t(c), 0});
  }
  keys.push_back({VKEY_SPACE, ' ', ' ', 0});
  return keys;
}

std::vector<TestKey> hungarian() {
  std::vector<TestKey> keys;
  for (int i = 0; i < hungarianLayout.count; ++i) {
    const LayoutKey& k = hungarianLayout.keys[i];
    auto u = [](uint8_t c) { return c ? cp1250_to_unicode(c) : 0u; };
    keys.push_back({k.place, u(k.plain), u(k.shift), u(k.altGr)});
  }
  return keys;
}

uint32_t composed(uint32_t accent, uint32_t base) {
  const std::string acuteBases = "aeoAEO";
  const uint32_t acute[] = {0xE1, 0xE9, 0xF3, 0xC1, 0xC9, 0xD3};
  if (accent == 0xB4)
    for (size_t i = 0; i < acuteBases.size(); ++i)
      if (base == uint32_t(acuteBases[i])) return acute[i];
  if (base == ' ') return accent;
  return 0;
}

struct Stroke {
  int vk;
  int level; // 0 plain, 1 Shift, 2 AltGr
  uint32_t character;
};

int vk_of(const TestKey& k) { return layout_virtual_key(k.place, k.plain & ~kDead); }

void type(const Stroke& s) {
  if (s.level == 1) host_key_event(VKEY_LSHIFT, true, HOST_KEY_NO_CHARACTER);
  if (s.level == 2) {
    host_key_event(VKEY_LCONTROL, true, HOST_KEY_NO_CHARACTER);
    host_key_event(VKEY_RMENU, true, HOST_KEY_NO_CHARACTER);
  }
  host_key_event(s.vk, true, s.character);
  host_key_event(s.vk, false, HOST_KEY_NO_CHARACTER);
  if (s.level == 1) host_key_event(VKEY_LSHIFT, false, HOST_KEY_NO_CHARACTER);
  if (s.level == 2) {
    host_key_event(VKEY_RMENU, false, HOST_KEY_NO_CHARACTER);
    host_key_event(VKEY_LCONTROL, false, HOST_KEY_NO_CHARACTER);
  }
}

bool is_letter(uint32_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? true : c >= 0xC0; }

// The keys that type character c (code page 1250) on the layout: a key of
// its own, a dead key and the next key, or a stand-in key of the map's.
std::vector<Stroke> strokes_for(uint8_t c, const std::vector<TestKey>& layout,
                                const KeyMapEntry* map, int count) {
  const uint32_t u = cp1250_to_unicode(c);
  for (int level = 0; level < 3; ++level)
    for (const TestKey& k : layout) {
      const uint32_t v = level == 0 ? k.plain : level == 1 ? k.shift : k.altGr;
      if (v == u) return {{vk_of(k), level, u}};
    }
  for (const TestKey& dead : layout)
    for (int dl = 0; dl < 2; ++dl) {
      const uint32_t accent = dl == 0 ? dead.plain : dead.shift;
      if (!(accent & kDead)) continue;
      for (const TestKey& base : layout)
        for (int bl = 0; bl < 2; ++bl)
          if (composed(accent & ~kDead, bl == 0 ? base.plain : base.shift) == u)
            return {{vk_of(dead), dl, HOST_KEY_DEAD}, {vk_of(base), bl, u}};
    }
  auto map_has = [&](uint32_t ch) {
    for (int i = 0; i < count; ++i)
      for (int h = 0; h < map[i].hostCount; ++h)
        if (map[i].host[h].character && cp1250_to_unicode(map[i].host[h].character) == ch)
          return true;
    return false;
  };
  for (int i = 0; i < count; ++i)
    for (int h = 0; h < map[i].hostCount; ++h) {
      const KeyMapHost& host = map[i].host[h];
      bool names = false, shifted = false;
      for (int j = 0; j < map[i].hostCount; ++j)
        if (map[i].host[j].character == c) {
          names = true;
          shifted = j > 0;
        }
      if (!names || !host.fallback) continue;
      uint32_t shown = 0;
      for (const TestKey& k : layout)
        if (vk_of(k) == host.virtualKey) shown = k.plain & ~kDead;
      if (shown && (is_letter(shown) || map_has(shown))) continue;
      return {{host.virtualKey, shifted ? 1 : 0, shown}};
    }
  return {};
}

class Typing : public MachineTest {};

TEST_F(Typing, EveryCharacterOfTheMapOnceOnEachLayout) {
  const std::vector<std::pair<const char*, std::vector<TestKey>>> layouts = {
      {"US", with_letters(kUs)}, {"German", with_letters(kGerman)}, {"Hungarian", hungarian()}};
  for (const auto& [name, layout] : layouts) {
    SCOPED_TRACE(name);
    fw::boot(MODEL_TARVIK41);
    machine_set_symbolic_keyboard(1);
    KeyMapEntry map[kKeyMapMost];
    const int count = keyboard_key_map(MODEL_TARVIK41, true, map);
    std::string characters;
    for (int i = 0; i < count; ++i)
      for (int h = 0; h < map[i].hostCount; ++h)
        if (map[i].host[h].character) characters += char(map[i].host[h].character);
    ASSERT_GE(characters.size(), 90u);
    // A line of the prompt at a time.
    for (size_t from = 0; from < characters.size(); from += 45) {
      const std::string part = characters.substr(from, 45);
      std::string expected = "> ";
      for (char c : part) {
        const std::vector<Stroke> strokes = strokes_for(uint8_t(c), layout, map, count);
        EXPECT_FALSE(strokes.empty()) << "no key types " << cp1250_to_utf8(&c, 1);
        for (const Stroke& s : strokes) type(s);
        expected += char(paste_translate_tarvik(uint8_t(c)));
      }
      ASSERT_GE(fw::frames_until([] { return keyboardState.queueCount == 0; }, 2000), 0);
      run_frames(5);
      EXPECT_EQ(fw::last_line(), expected);
      type({VKEY_RETURN, 0, 13});
      ASSERT_GE(fw::frames_until(fw::at_prompt, 200), 0) << fw::screen();
    }
  }
}

} // namespace
