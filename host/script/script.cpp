// Script lines that take the user's place (tarvik-cli, and Tarvik.exe with
// "/script"): each line is one action, read when the main loop asks for the
// next message. An unknown or malformed line ends the run with its line
// number; a failed "expect" ends it with exit status 1. What a line asks of
// the window (frames, keys, commands, dialog answers, console lines) waits
// in the script queue (host/script/script_queue.h).
#include "host/script/script.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/platform.h"
#include "host/script/script_queue.h"
#include "host/ui/cp1250.h"
#include "host/ui/menu.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/virtual_keys.h"
#include "media/screenshot.h"

namespace {

ScriptScreenHooks screen;

std::FILE* scriptFile;
bool scriptFromStdin;
std::string scriptText;
size_t textPosition;
bool haveText;
unsigned lineNumber;
int status;
uint32_t framesAfter;
bool framesAfterQueued;

// One line of the file, of any length; false at its end.
bool read_file_line(std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(scriptFile)) != EOF) {
    *line += static_cast<char>(c);
    if (c == '\n') return true;
  }
  return !line->empty();
}

bool next_line(std::string* line) {
  if (scriptFile) {
    if (!read_file_line(line)) {
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

// clang-format off
const struct {
  const char* name;
  int code;
} kKeyNames[] = {
    {"BACK", VKEY_BACK}, {"BACKSPACE", VKEY_BACK}, {"TAB", VKEY_TAB},
    {"RETURN", VKEY_RETURN}, {"ENTER", VKEY_RETURN}, {"SHIFT", VKEY_SHIFT},
    {"CONTROL", VKEY_CONTROL}, {"CTRL", VKEY_CONTROL}, {"MENU", VKEY_MENU},
    {"ALT", VKEY_MENU}, {"PAUSE", VKEY_PAUSE}, {"CAPITAL", VKEY_CAPITAL},
    {"ESCAPE", VKEY_ESCAPE}, {"ESC", VKEY_ESCAPE}, {"SPACE", VKEY_SPACE},
    {"PRIOR", VKEY_PRIOR}, {"PAGEUP", VKEY_PRIOR}, {"NEXT", VKEY_NEXT},
    {"PAGEDOWN", VKEY_NEXT}, {"END", VKEY_END}, {"HOME", VKEY_HOME},
    {"LEFT", VKEY_LEFT}, {"UP", VKEY_UP}, {"RIGHT", VKEY_RIGHT},
    {"DOWN", VKEY_DOWN}, {"INSERT", VKEY_INSERT}, {"DELETE", VKEY_DELETE},
    {"LSHIFT", VKEY_LSHIFT}, {"RSHIFT", VKEY_RSHIFT}, {"LCONTROL", VKEY_LCONTROL},
    {"RCONTROL", VKEY_RCONTROL}, {"OEM_1", VKEY_OEM_1}, {"OEM_PLUS", VKEY_OEM_PLUS},
    {"OEM_COMMA", VKEY_OEM_COMMA}, {"OEM_MINUS", VKEY_OEM_MINUS}, {"OEM_PERIOD", VKEY_OEM_PERIOD},
    {"OEM_2", VKEY_OEM_2}, {"OEM_3", VKEY_OEM_3}, {"OEM_4", VKEY_OEM_4},
    {"OEM_5", VKEY_OEM_5}, {"OEM_6", VKEY_OEM_6}, {"OEM_7", VKEY_OEM_7},
    {"OEM_102", VKEY_OEM_102},
};
// clang-format on

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
    script_queue_frames(static_cast<uint32_t>(n));
  } else if (word == "keydown" || word == "keyup" || word == "key") {
    int key = script_key_code(argument);
    if (key < 0) return fail(2, "unknown key: " + argument);
    if (word != "keyup") script_queue_key(key, true);
    if (word == "key") script_queue_frames(1);
    if (word != "keydown") script_queue_key(key, false);
  } else if (word == "paste") {
    std::string text = unescape(rest);
    std::string cp1250 = utf8_to_cp1250(text.data(), text.size());
    if (platform_clipboard_open()) {
      platform_clipboard_set_text(cp1250.c_str(), cp1250.size() + 1);
      platform_clipboard_close();
    }
    script_queue_command(CMD_PASTE);
  } else if (word == "command") {
    const int id = command_by_name(argument.c_str());
    if (id == 0) return fail(2, "unknown command: " + argument);
    script_queue_command(id);
  } else if (word == "answer") {
    if (argument.empty()) return fail(2, "answer needs a file name");
    script_queue_answer(argument.c_str());
  } else if (word == "answer-cancel" && argument.empty()) {
    script_queue_answer(nullptr);
  } else if (word == "fields") {
    size_t space = argument.find_first_of(" \t");
    std::string a = argument.substr(0, space);
    std::string b = space == std::string::npos ? "" : argument.substr(space);
    b.erase(0, b.find_first_not_of(" \t"));
    if (a.empty() || b.empty() || a.size() > 5 || b.size() > 5 ||
        a.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
        b.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return fail(2, "fields needs two hexadecimal addresses: " + argument);
    script_queue_fields(a.c_str(), b.c_str());
  } else if (word == "monitor") {
    script_queue_console(rest.c_str());
  } else if (word == "screen-text") {
    if (argument.empty()) return fail(2, "screen-text needs a file name or -");
    if (!write_text(argument, script_screen_text())) return fail(2, "cannot write " + argument);
  } else if (word == "screenshot") {
    if (argument.empty()) return fail(2, "screenshot needs a file name");
    if (screen.paint) screen.paint();
    if (!save_screenshot(argument.c_str())) return fail(2, "cannot write " + argument);
  } else if (word == "expect") {
    std::string screen = script_screen_text();
    if (screen.find(rest) == std::string::npos)
      return fail(1, "expected text not on the screen: \"" + rest + "\"\n" + screen);
  } else if (word == "quit" && argument.empty()) {
    script_queue_quit(0);
  } else {
    return fail(2, "unknown script line: " + line);
  }
}

} // namespace

bool script_open(const char* path) {
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

void script_text(const std::string& text) {
  scriptText = text;
  textPosition = 0;
  haveText = true;
  lineNumber = 0;
  status = 0;
  framesAfterQueued = false;
}

void script_then_frames(uint32_t frames) {
  framesAfter = frames;
  framesAfterQueued = false;
}

int script_status() { return status; }

bool script_step() {
  std::string line;
  if (next_line(&line)) {
    run_line(line);
    return true;
  }
  if (!framesAfterQueued && framesAfter > 0) {
    framesAfterQueued = true;
    script_queue_frames(framesAfter);
    return true;
  }
  return false;
}

void script_set_screen_hooks(const ScriptScreenHooks& hooks) { screen = hooks; }

std::string script_screen_text() {
  char text[SCRIPT_SCREEN_TEXT_MAX];
  size_t length = screen.screenText ? screen.screenText(text, sizeof text) : 0;
  if (length == 0) return {};
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

int script_key_code(const std::string& text) {
  if (text.empty()) return -1;
  if (std::isdigit(static_cast<unsigned char>(text[0]))) {
    size_t used = 0;
    long value;
    try {
      value = std::stol(text, &used, 0);
    } catch (...) { return -1; }
    return used == text.size() && value > 0 && value < 256 ? static_cast<int>(value) : -1;
  }
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.size() == 1 && std::isalnum(static_cast<unsigned char>(upper[0]))) return upper[0];
  if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F' &&
      upper.find_first_not_of("0123456789", 1) == std::string::npos) {
    int n = std::stoi(upper.substr(1));
    return n >= 1 && n <= 24 ? 0x6F + n : -1;
  }
  for (const auto& k : kKeyNames)
    if (upper == k.name) return k.code;
  return -1;
}
