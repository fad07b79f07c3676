// Build-time tool: writes the Windows program's resource script and its icon
// from the host's own tables, so that the menu bar (with its shortcuts) and the
// dialogs' texts have one source. The script is code page 1250, as the
// resource compiler is told by its code_page pragma.
//   make_resources OUTPUT_DIR   (writes tarvik.rc and tarvik.ico there)
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/ui/about.h"
#include "host/ui/cp1250.h"
#include "host/ui/icon.h"
#include "host/ui/menu.h"
#include "host/win32/resource_ids.h"

namespace {

// A quoted resource-script string in code page 1250: quotes doubled,
// backslashes escaped, a line break as \n.
std::string quoted(const std::string& utf8) {
  std::string text = utf8_to_cp1250(utf8.data(), utf8.size());
  std::string out = "\"";
  for (char c : text) {
    if (c == '"')
      out += "\"\"";
    else if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else
      out += c;
  }
  return out + "\"";
}

std::string indent(int depth) { return std::string(2 * depth + 2, ' '); }

void write_menu(std::string& rc) {
  rc += std::to_string(IDR_MENU) + " MENU\nBEGIN\n";
  std::vector<int> stack;
  for (int i = 0; i < menuEntryCount; ++i) {
    const MenuEntry& e = menuEntries[i];
    while (!stack.empty() && stack.back() >= e.depth) {
      rc += indent(stack.back()) + "END\n";
      stack.pop_back();
    }
    if (e.kind == MENU_POPUP) {
      rc += indent(e.depth) + "POPUP " + quoted(e.label) + "\n" + indent(e.depth) + "BEGIN\n";
      stack.push_back(e.depth);
    } else if (e.kind == MENU_SEPARATOR) {
      rc += indent(e.depth) + "MENUITEM SEPARATOR\n";
    } else {
      std::string label = e.label;
      if (*e.shortcut) label += std::string("\t") + e.shortcut;
      rc += indent(e.depth) + "MENUITEM " + quoted(label) + ", " + std::to_string(e.id) + "\n";
    }
  }
  while (!stack.empty()) {
    rc += indent(stack.back()) + "END\n";
    stack.pop_back();
  }
  rc += "END\n\n";
}

void write_about(std::string& rc) {
  rc += std::to_string(IDD_ABOUT) +
        " DIALOGEX 0, 0, 186, 74\n"
        "STYLE DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
        "CAPTION " +
        quoted(aboutTitle) +
        "\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n"
        "  ICON " +
        std::to_string(IDI_TARVIK) +
        ", -1, 10, 10, 21, 20\n"
        "  LTEXT " +
        quoted(aboutLines[0]) + ", " + std::to_string(IDC_ABOUT_LINE1) +
        ", 42, 10, 136, 10\n"
        "  LTEXT " +
        quoted(aboutLines[1]) + ", " + std::to_string(IDC_ABOUT_LINE2) +
        ", 42, 22, 136, 10\n"
        "  LTEXT " +
        quoted(aboutLines[2]) + ", " + std::to_string(IDC_ABOUT_LINE3) +
        ", 42, 34, 136, 10\n"
        "  DEFPUSHBUTTON \"OK\", IDOK, 68, 54, 50, 14\n"
        "END\n\n";
}

// The keyboard chart: one push button per key, rows offset like a keyboard.
void write_keyboard_chart(std::string& rc) {
  const int keyWidth = 22, keyHeight = 20, gap = 2, margin = 7;
  const int rowOffset[4] = {0, 0, 6, 12};
  int widest = 0;
  for (int r = 0; r < 4; ++r) {
    int w = rowOffset[r] + keyboardChartRowLength[r] * (keyWidth + gap);
    if (w > widest) widest = w;
  }
  int width = 2 * margin + widest;
  // Below the keys, the key map of the model in use, filled in when the
  // dialog opens.
  const int mapTop = margin + 4 * (keyHeight + gap) + 4, mapHeight = 120;
  int height = 2 * margin + 4 * (keyHeight + gap) + 22 + 16 + mapHeight;
  rc += std::to_string(IDD_KEYBOARD_CHART) + " DIALOGEX 0, 0, " + std::to_string(width) + ", " +
        std::to_string(height) +
        "\nSTYLE DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
        "CAPTION " +
        quoted(keyboardChartTitle) + "\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n";
  int id = IDC_CHART_FIRST_KEY;
  for (int r = 0; r < 4; ++r) {
    for (int k = 0; k < keyboardChartRowLength[r]; ++k) {
      const ChartKey& key = keyboardChartRows[r][k];
      std::string legend = key.upper;
      if (key.lower) legend += std::string("\n") + key.lower;
      // "&" would mark a mnemonic: doubled, it shows itself.
      std::string shown;
      for (char c : legend) shown += c == '&' ? std::string("&&") : std::string(1, c);
      int x = margin + rowOffset[r] + k * (keyWidth + gap);
      int y = margin + r * (keyHeight + gap);
      rc += "  PUSHBUTTON " + quoted(shown) + ", " + std::to_string(id++) + ", " +
            std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(keyWidth) + ", " +
            std::to_string(keyHeight) + ", BS_MULTILINE\n";
    }
  }
  rc += "  LTEXT \"\", " + std::to_string(IDC_CHART_MAP_HEADING) + ", " + std::to_string(margin) +
        ", " + std::to_string(mapTop) + ", " + std::to_string(width - 2 * margin) + ", 10\n";
  rc += "  EDITTEXT " + std::to_string(IDC_CHART_MAP) + ", " + std::to_string(margin) + ", " +
        std::to_string(mapTop + 12) + ", " + std::to_string(width - 2 * margin) + ", " +
        std::to_string(mapHeight) + ", ES_MULTILINE | ES_READONLY | WS_VSCROLL | NOT WS_TABSTOP\n";
  rc += "  DEFPUSHBUTTON \"OK\", IDOK, " + std::to_string(width / 2 - 25) + ", " +
        std::to_string(height - margin - 14) + ", 50, 14\nEND\n\n";
}

void write_address_panel(std::string& rc) {
  rc += std::to_string(IDD_ADDRESS_PANEL) +
        " DIALOGEX 0, 0, 280, 24\n"
        "STYLE DS_CONTROL | DS_3DLOOK | WS_CHILD | WS_CLIPSIBLINGS\n"
        "FONT 8, \"MS Shell Dlg\"\nBEGIN\n"
        "  LTEXT " +
        quoted("Memóriacím eleje: $") +
        ", -1, 7, 6, 70, 10\n"
        "  EDITTEXT " +
        std::to_string(IDC_ADDRESS_START) +
        ", 78, 4, 40, 13, ES_UPPERCASE | ES_AUTOHSCROLL\n"
        "  LTEXT " +
        quoted("vége: $") +
        ", -1, 130, 6, 30, 10\n"
        "  EDITTEXT " +
        std::to_string(IDC_ADDRESS_END) +
        ", 160, 4, 40, 13, ES_UPPERCASE | ES_AUTOHSCROLL\n"
        "END\n\n";
}

// The tape browser: its texts come from the host's table when it opens.
// The list is a report-style list view (LVS_REPORT | LVS_SINGLESEL |
// LVS_SHOWSELALWAYS), its column headers named.
void write_tape_browser(std::string& rc) {
  rc += std::to_string(IDD_TAPE_BROWSER) +
        " DIALOGEX 0, 0, 300, 196\n"
        "STYLE DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
        "CAPTION \"\"\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n"
        "  LTEXT \"\", " +
        std::to_string(IDC_TAPE_HEADING) +
        ", 7, 7, 286, 10\n"
        "  CONTROL \"\", " +
        std::to_string(IDC_TAPE_LIST) +
        ", \"SysListView32\", 0x000D | WS_BORDER | WS_TABSTOP, 7, 20, 286, 126\n"
        "  LTEXT \"\", " +
        std::to_string(IDC_TAPE_PLACE) +
        ", 7, 152, 286, 10\n"
        "  DEFPUSHBUTTON \"\", " +
        std::to_string(IDC_TAPE_WIND) +
        ", 7, 175, 60, 14\n"
        "  PUSHBUTTON \"\", IDCANCEL, 233, 175, 60, 14\n"
        "END\n\n";
}

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

// One icon image: a 32-bit bitmap (height doubled for the mask) and the
// 1-bit AND mask, both bottom-up.
std::string icon_image(int size) {
  std::vector<Rgba> p = draw_icon(size);
  std::string s;
  int maskStride = (size + 31) / 32 * 4;
  put32(s, 40);
  put32(s, static_cast<uint32_t>(size));
  put32(s, static_cast<uint32_t>(2 * size));
  put16(s, 1);
  put16(s, 32);
  put32(s, 0);
  put32(s, static_cast<uint32_t>(size * size * 4 + maskStride * size));
  for (int i = 0; i < 4; ++i) put32(s, 0);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      const Rgba& c = p[static_cast<size_t>(y * size + x)];
      s += static_cast<char>(c.b);
      s += static_cast<char>(c.g);
      s += static_cast<char>(c.r);
      s += static_cast<char>(c.a);
    }
  for (int y = size - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(maskStride), '\0');
    for (int x = 0; x < size; ++x)
      if (p[static_cast<size_t>(y * size + x)].a == 0)
        row[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    s += row;
  }
  return s;
}

std::string icon_file() {
  const int sizes[2] = {32, 16};
  std::string images[2] = {icon_image(32), icon_image(16)};
  std::string s;
  put16(s, 0);
  put16(s, 1);
  put16(s, 2);
  uint32_t offset = 6 + 16 * 2;
  for (int i = 0; i < 2; ++i) {
    s += static_cast<char>(sizes[i]);
    s += static_cast<char>(sizes[i]);
    s += '\0';
    s += '\0';
    put16(s, 1);
    put16(s, 32);
    put32(s, static_cast<uint32_t>(images[i].size()));
    put32(s, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  return s + images[0] + images[1];
}

bool write_file(const std::string& path, const std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_resources OUTPUT_DIR\n", stderr);
    return 2;
  }
  std::string dir = argv[1];
  std::string rc = "// Generated by make_resources from the host's tables: do not edit.\n"
                   "#pragma code_page(1250)\n#include <windows.h>\n\n";
  rc += std::to_string(IDI_TARVIK) + " ICON \"tarvik.ico\"\n\n";
  write_menu(rc);
  write_about(rc);
  write_keyboard_chart(rc);
  write_address_panel(rc);
  write_tape_browser(rc);
  rc += "STRINGTABLE\nBEGIN\n  " + std::to_string(IDS_PROGRAM_NAME) + ", \"Tarvik\"\nEND\n";
  if (!write_file(dir + "/tarvik.rc", rc) || !write_file(dir + "/tarvik.ico", icon_file())) {
    std::fprintf(stderr, "make_resources: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
