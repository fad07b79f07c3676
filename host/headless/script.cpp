// Script lines for the headless front end: each line is one action, read
// when the main loop asks for the next message. An unknown or malformed line
// ends the run with its line number; a failed "expect" ends it with exit
// status 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/clipboard.h"
#include "host/cp1250.h"
#include "host/headless/headless.h"
#include "host/menu.h"
#include "host/platform.h"
#include "host/window.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/screenshot.h"

namespace {

std::FILE* scriptFile;
bool scriptFromStdin;
std::string scriptText;
size_t textPosition;
bool haveText;
unsigned lineNumber;
int status;
uint32_t framesAfter;
bool framesAfterQueued;

bool next_line(std::string* line) {
  if (scriptFile) {
    // One line of any length, in pieces.
    line->clear();
    char piece[512];
    bool got = false;
    while (std::fgets(piece, sizeof piece, scriptFile)) {
      got = true;
      line->append(piece);
      if (!line->empty() && line->back() == '\n') break;
    }
    if (!got) {
      if (!scriptFromStdin) std::fclose(scriptFile);
      scriptFile = nullptr;
      return false;
    }
  } else if (haveText && textPosition < scriptText.size()) {
    size_t end = scriptText.find('\n', textPosition);
    if (end == std::string::npos) end = scriptText.size();
    line->assign(scriptText, textPosition, end - textPosition);
    textPosition = end + 1;
  } else {
    return false;
  }
  ++lineNumber;
  while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
  return true;
}

void fail(int exitStatus, const std::string& message) {
  std::fprintf(stderr, "script line %u: %s\n", lineNumber, message.c_str());
  status = exitStatus;
  platform_post_quit(exitStatus);
  // Nothing after a failed line runs.
  if (scriptFile && !scriptFromStdin) std::fclose(scriptFile);
  scriptFile = nullptr;
  haveText = false;
  framesAfterQueued = true;
}

bool parse_count(const std::string& text, uint64_t limit, uint64_t* value) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *value = std::strtoull(text.c_str(), nullptr, 10);
  return *value <= limit;
}

// "\n", "\r", "\t" and "\\" in a paste text.
std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    if (c == 'n')
      out += '\n';
    else if (c == 'r')
      out += '\r';
    else if (c == 't')
      out += '\t';
    else
      out += c;
  }
  return out;
}

bool known_command(uint64_t id) {
  if (menu_find(static_cast<int>(id)) || id == CMD_RAM_FIRST + 5) return true;
  for (int i = 0; i < acceleratorCount; ++i)
    if (accelerators[i].command == id) return true;
  return false;
}

bool write_text(const std::string& target, const std::string& text) {
  if (target == "-") {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    return true;
  }
  std::FILE* f = std::fopen(target.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// Runs one script line; false when the line is not understood.
void run_line(const std::string& line) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line[start] == '#') return;
  size_t end = line.find_first_of(" \t", start);
  std::string word = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
  std::string rest;
  if (end != std::string::npos) {
    size_t r = line.find_first_not_of(" \t", end);
    if (r != std::string::npos) rest = line.substr(r);
  }
  std::string argument = rest;
  while (!argument.empty() && (argument.back() == ' ' || argument.back() == '\t'))
    argument.pop_back();
  uint64_t n;

  if (word == "frames") {
    if (!parse_count(argument, 1000000000, &n)) return fail(2, "frames needs a count: " + line);
    headless_queue_frames(static_cast<uint32_t>(n));
  } else if (word == "keydown" || word == "keyup" || word == "key") {
    int key = headless_key_code(argument);
    if (key < 0) return fail(2, "unknown key: " + argument);
    if (word != "keyup") headless_queue_key(key, true);
    if (word == "key") headless_queue_frames(1);
    if (word != "keydown") headless_queue_key(key, false);
  } else if (word == "paste") {
    std::string text = unescape(rest);
    headless_clipboard_put(utf8_to_cp1250(text.data(), text.size()));
    headless_queue_command(CMD_PASTE);
  } else if (word == "command") {
    if (!parse_count(argument, 65535, &n) || !known_command(n))
      return fail(2, "unknown command id: " + argument);
    headless_queue_command(static_cast<int>(n));
  } else if (word == "answer") {
    if (argument.empty()) return fail(2, "answer needs a file name");
    headless_queue_dialog_answer(argument.c_str());
  } else if (word == "answer-cancel" && argument.empty()) {
    headless_queue_dialog_cancel();
  } else if (word == "fields") {
    size_t space = argument.find_first_of(" \t");
    std::string a = argument.substr(0, space);
    std::string b = space == std::string::npos ? "" : argument.substr(space);
    b.erase(0, b.find_first_not_of(" \t"));
    if (a.empty() || b.empty() || a.size() > 5 || b.size() > 5 ||
        a.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
        b.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return fail(2, "fields needs two hexadecimal addresses: " + argument);
    headless_set_dialog_fields(a.c_str(), b.c_str());
  } else if (word == "monitor") {
    headless_console_queue_line(rest.c_str());
  } else if (word == "screen-text") {
    if (argument.empty()) return fail(2, "screen-text needs a file name or -");
    if (!write_text(argument, headless_screen_text())) return fail(2, "cannot write " + argument);
  } else if (word == "screenshot") {
    if (argument.empty()) return fail(2, "screenshot needs a file name");
    window_on_paint();
    if (!save_screenshot(argument.c_str())) return fail(2, "cannot write " + argument);
  } else if (word == "expect") {
    std::string screen = headless_screen_text();
    if (screen.find(rest) == std::string::npos)
      return fail(1, "expected text not on the screen: \"" + rest + "\"\n" + screen);
  } else if (word == "quit" && argument.empty()) {
    headless_queue_quit(0);
  } else {
    return fail(2, "unknown script line: " + line);
  }
}

} // namespace

bool headless_script_open(const char* path) {
  if (std::strcmp(path, "-") == 0) {
    scriptFile = stdin;
    scriptFromStdin = true;
  } else {
    scriptFile = std::fopen(path, "r");
    scriptFromStdin = false;
    if (!scriptFile) return false;
  }
  haveText = false;
  lineNumber = 0;
  status = 0;
  framesAfterQueued = false;
  return true;
}

void headless_script_text(const std::string& text) {
  scriptText = text;
  textPosition = 0;
  haveText = true;
  lineNumber = 0;
  status = 0;
  framesAfterQueued = false;
}

void headless_script_then_frames(uint32_t frames) {
  framesAfter = frames;
  framesAfterQueued = false;
}

int headless_script_status() { return status; }

bool headless_script_step() {
  std::string line;
  if (next_line(&line)) {
    run_line(line);
    return true;
  }
  if (!framesAfterQueued && framesAfter > 0) {
    framesAfterQueued = true;
    headless_queue_frames(framesAfter);
    return true;
  }
  return false;
}

namespace {

// The Veltra-16's own character codes (space 0x40, "0" to "_" as the
// character minus 0x20, the symbols its keyboard types at 0x60-0x67); other
// codes as the clipboard copies them.
uint8_t veltra_character(uint8_t code) {
  if (code == 0x40) return ' ';
  if (code >= 0x10 && code <= 0x3F) return static_cast<uint8_t>(code + 0x20);
  switch (code) {
  case 0x60: return '^';
  case 0x61: return '+';
  case 0x62: return '-';
  case 0x63: return '*';
  case 0x64: return '/';
  case 0x67: return '=';
  default: return clipboard_translate(code);
  }
}

} // namespace

std::string headless_screen_text() {
  char text[CLIPBOARD_SCREEN_TEXT_MAX];
  size_t length = clipboard_screen_text(text, sizeof text);
  if (length == 0) return {};
  if (model() == MODEL_VELTRA16) {
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 40; ++x)
        text[y * 42 + x] = static_cast<char>(veltra_character(memory[0xC000 + y * 40 + x]));
  }
  std::string out;
  std::string utf8 = cp1250_to_utf8(text, length - 1);
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') continue;
    // The blank codes copy as no-break spaces; as text they are spaces.
    if (utf8.compare(i, 2, "\xC2\xA0") == 0) {
      out += ' ';
      ++i;
      continue;
    }
    out += utf8[i];
  }
  return out;
}
