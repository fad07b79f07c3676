// Every message of our firmware, printed by the firmware's own routine and
// read back from the screen through the glyph names of its character set,
// is the text meant. A message label without a text here fails the test, so
// a new message gets checked too.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_helpers.h"
#include "machine_fixture.h"
#include "veltra_firmware.h"

namespace {

using Texts = std::map<std::string, std::string>;

// "@XX name" lines of a character-set drawing: the text each code shows.
// A name that is one character is that character; accented letters are
// named "E acute", "o double acute"; "@XX = @YY" repeats a glyph and
// "@XX-@YY inverse @ZZ" inverts a run. Codes without a letter show "¤".
std::map<int, std::string> charset_texts(const std::string& file) {
  static const std::map<std::string, std::string> kAccents = {
      {"A acute", "Á"},     {"E acute", "É"},        {"I acute", "Í"},
      {"O acute", "Ó"},     {"U acute", "Ú"},        {"O diaeresis", "Ö"},
      {"U diaeresis", "Ü"}, {"O double acute", "Ő"}, {"U double acute", "Ű"},
      {"a acute", "á"},     {"e acute", "é"},        {"i acute", "í"},
      {"o acute", "ó"},     {"u acute", "ú"},        {"o diaeresis", "ö"},
      {"u diaeresis", "ü"}, {"o double acute", "ő"}, {"u double acute", "ű"},
      {"space", " "},       {"blank", " "}};
  std::map<int, std::string> texts;
  std::ifstream in(file);
  EXPECT_TRUE(in) << file;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 4 || line[0] != '@') continue;
    const int code = std::stoi(line.substr(1, 2), nullptr, 16);
    if (line.compare(3, 4, " = @") == 0) {
      texts[code] = texts[std::stoi(line.substr(7, 2), nullptr, 16)];
    } else if (line.compare(3, 2, "-@") == 0) {
      const int last = std::stoi(line.substr(5, 2), nullptr, 16);
      const int from = std::stoi(line.substr(line.rfind('@') + 1, 2), nullptr, 16);
      for (int c = code; c <= last; ++c) texts[c] = texts[from + c - code];
    } else {
      const std::string name = line.substr(4);
      int characters = 0;
      for (unsigned char c : name) characters += (c & 0xC0) != 0x80;
      const bool oneChar = characters == 1;
      const auto accent = kAccents.find(name);
      texts[code] = accent != kAccents.end() ? accent->second : oneChar ? name : "¤";
    }
  }
  return texts;
}

// The message labels of an assembled firmware and their addresses.
std::map<std::string, uint16_t> message_labels(const std::string& image) {
  std::map<std::string, uint16_t> labels;
  std::ifstream in(std::string(FIRMWARE_SYMBOLS) + "/" + image + ".sym");
  EXPECT_TRUE(in) << image;
  std::string name, equ, value;
  while (in >> name >> equ >> value)
    if (name.rfind("msg_", 0) == 0)
      labels[name] = static_cast<uint16_t>(std::stoul(value, nullptr, 16));
  return labels;
}

uint16_t label(const std::string& image, const std::string& name) {
  std::ifstream in(std::string(FIRMWARE_SYMBOLS) + "/" + image + ".sym");
  std::string n, equ, value;
  while (in >> n >> equ >> value)
    if (n == name) return static_cast<uint16_t>(std::stoul(value, nullptr, 16));
  ADD_FAILURE() << name << " not in " << image;
  return 0;
}

// Runs the routine with HL set, as a CALL from where the CPU stands.
void call(uint16_t routine, uint16_t hl) {
  const uint16_t pc = cpu.pc, sp = cpu.sp;
  cpu.sp = static_cast<uint16_t>(sp - 2);
  write16(cpu.sp, pc);
  cpu.hl.w = hl;
  cpu.pc = routine;
  for (int i = 0; i < 5000000 && !(cpu.pc == pc && cpu.sp == sp); ++i) cpu_run(0);
  ASSERT_EQ(cpu.pc, pc) << "the routine at " << routine << " did not return";
}

// The screen's rows as text, blanks at their ends cut, empty rows at the
// end left out.
std::string screen_text(int rows, int columns, uint16_t first, bool veltra,
                        const std::map<int, std::string>& glyphs) {
  const bool cursorShown = !veltra && (memory[0x4004] & 0x80);
  const uint16_t cursor = static_cast<uint16_t>(memory[0x4000] | memory[0x4001] << 8);
  std::vector<std::string> lines;
  for (int y = 0; y < rows; ++y) {
    std::string line;
    for (int x = 0; x < columns; ++x) {
      const uint16_t a = static_cast<uint16_t>(first + y * columns + x);
      uint8_t code = cursorShown && a == cursor ? memory[0x4005] : memory[a];
      if (veltra) code &= 0x7F; // the cursor is the inverted cell
      const auto glyph = glyphs.find(code);
      line += glyph != glyphs.end() ? glyph->second : "¤";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : "\n") + l;
  return text;
}

const Texts kTarvikTexts = {
    {"msg_prompt", ">"},
    {"msg_kbram", " KB RAM"},
    {"msg_hint", "Gépi kódú monitor - súgó: S"},
    {"msg_reset", "Meleg indulás"},
    {"msg_unknown", "Ismeretlen parancs (súgó: S)"},
    {"msg_param", "Hibás paraméter"},
    {"msg_search", "Keresés a kazettán..."},
    {"msg_loaded", "Betöltve."},
    {"msg_checksum", "HIBA: rossz ellenőrző összeg"},
    {"msg_tape_end", "HIBA: a kazetta véget ért"},
    {"msg_break", "Megszakítva"},
    {"msg_saving", "Mentés:"},
    {"msg_done", "Kész."},
    {"msg_printed", "Nyomtatás kész."},
    {"msg_speaking", "Beszéd..."},
    {"msg_speech_fail", "HIBA: a beszédszintetizátor nem válaszol"},
    {"msg_no_ext", "A beszédmodul csak 64 KB RAM mellett érhető el"},
    {"msg_no_speech", "Ezen a gépen nincs beszédszintetizátor"},
    {"msg_help", "B              betöltés kazettáról\n"
                 "K név tól ig   mentés kazettára\n"
                 "F (cím)        futtatás\n"
                 "L (cím)        memória listázása\n"
                 "M cím bb ..    memória módosítása\n"
                 "N szöveg       nyomtatás\n"
                 "T              képernyőtörlés\n"
                 "H              beszéd (Dorvane)\n"
                 "S              súgó\n"
                 "A számok hexadecimálisak."},
};

const Texts kVeltraTexts = {
    {"msg_banner", "VELTRA-16  SZABAD ROM  1.0"},
    {"msg_ram", " KB RAM      SÚGÓ: S"},
    {"msg_command", "HIBÁS PARANCS"},
    {"msg_param", "HIBÁS PARAMÉTER"},
    {"msg_saved", "KIMENTVE:"},
    {"msg_loaded", "BETÖLTVE:"},
    {"msg_skipped", "KIHAGYVA:"},
    {"msg_tape_error", "OLVASÁSI HIBA"},
    {"msg_break", "MEGSZAKÍTVA"},
    {"msg_help", "PARANCSOK, A SZÁMOK HEXÁBAN:\n"
                 "L [CÍM]           LISTÁZÁS\n"
                 "M CÍM BÁJT ...    MÓDOSÍTÁS\n"
                 "F CÍM             FUTTATÁS\n"
                 "T [TÓL IG [BÁJT]] TÖRLÉS\n"
                 "K TÓL IG [NÉV]    KIMENTÉS MAGNÓRA\n"
                 "B [NÉV]           BETÖLTÉS MAGNÓRÓL\n"
                 "G                 GRAFIKUS TESZTKÉP\n"
                 "S                 SÚGÓ"},
};

class FirmwareMessages : public MachineTest {};

TEST_F(FirmwareMessages, TarvikMessagesShowTheTextMeant) {
  const auto glyphs = charset_texts("firmware/tarvik-charset.txt");
  const struct {
    uint32_t model;
    const char* image;
    const char* banner;
  } kModels[] = {{MODEL_TARVIK31, "tarvik31.bin", "Tarvik 3.1 - Szabad ROM"},
                 {MODEL_TARVIK41, "tarvik41.bin", "Tarvik 4.1 - Szabad ROM"},
                 {MODEL_DORVANE, "dorvane.bin", "Dorvane - Szabad ROM"}};
  for (const auto& m : kModels) {
    Texts meant = kTarvikTexts;
    meant["msg_banner"] = m.banner;
    fw::boot(m.model);
    const auto labels = message_labels(m.image);
    EXPECT_EQ(labels.size(), meant.size()) << m.image;
    for (const auto& [name, address] : labels) {
      SCOPED_TRACE(std::string(m.image) + " " + name);
      ASSERT_TRUE(meant.count(name)) << "no text meant for this message";
      call(label(m.image, "cls"), 0);
      call(0x0018, address); // RST 18h: print the text at HL
      EXPECT_EQ(screen_text(32, 64, 0xF800, false, glyphs), meant[name]);
    }
  }
}

TEST_F(FirmwareMessages, VeltraMessagesShowTheTextMeant) {
  const auto glyphs = charset_texts("firmware/veltra16-charset.txt");
  ASSERT_GT(boot_veltra(), 0);
  const auto labels = message_labels("veltra16.bin");
  EXPECT_EQ(labels.size(), kVeltraTexts.size());
  for (const auto& [name, address] : labels) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(kVeltraTexts.count(name)) << "no text meant for this message";
    call(label("veltra16.bin", "cls"), 0);
    call(label("veltra16.bin", "pstr"), address);
    EXPECT_EQ(screen_text(25, 40, kScreenTop, true, glyphs), kVeltraTexts.at(name));
  }
}

} // namespace
