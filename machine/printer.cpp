// The printer: what the emulated program prints is appended to a text file,
// translated from the printer's national character set to code page 1250.
#include "machine/printer.h"

#include <cstring>

#include "cpu/state_io.h"
#include "machine/hooks.h"

std::FILE* printerFile;
char printerPath[260];
PrinterTranslate printerTranslate;

namespace {

// "printer.txt" in the current directory, with the host's separator.
void default_path() {
  const char separator[2] = {machineHooks.pathSeparator(), 0};
  std::strcpy(printerPath, ".");
  std::strcat(printerPath, separator);
  std::strcat(printerPath, "printer.txt");
}

} // namespace

void printer_name() { default_path(); }

void printer_write(uint8_t code) {
  if (!printerFile) {
    // Before any naming command the printer still has its file.
    if (printerPath[0] == 0) default_path();
    printerFile = std::fopen(printerPath, "a");
    if (!printerFile) return; // lost; the next byte tries again
    std::fputc('\n', printerFile);
  }
  if (code == 13) {
    std::fputc('\n', printerFile);
  } else if (code != 0x8D) {
    std::fputc(printerTranslate ? printerTranslate(code) : code, printerFile);
  }
  std::fflush(printerFile);
}

void printer_close() {
  if (printerFile) std::fclose(printerFile);
  printerFile = nullptr;
}

void printer_install_translation() { printerTranslate = printer_translate_cp1250; }

uint8_t printer_translate_cp1250(uint8_t code) {
  switch (code) {
  case 0:
  case 96: return 160;
  case 64: return 193;
  case 91: return 201;
  case 92: return 214;
  case 93: return 220;
  case 94: return 94;
  case 95: return 211;
  case 123: return 233;
  case 124: return 246;
  case 125: return 252;
  case 126: return 243;
  case 127: return 225;
  case 149: return 218;
  case 157: return 219;
  case 169: return 237;
  case 181: return 250;
  case 188: return 245;
  case 189: return 251;
  default: return code >= 32 ? code : static_cast<uint8_t>(code ^ 128);
  }
}

void printer_state_save(StateWriter& w) {
  w.text(printerPath, sizeof printerPath);
  w.u8(printerFile ? 1 : 0);
}

bool printer_state_load(StateReader& r, bool apply) {
  char path[sizeof printerPath];
  if (!r.text(path, sizeof path, true)) return false;
  if (r.u8() > 1) return r.fail();
  if (!r.ok() || !apply) return r.ok();
  if (std::strcmp(path, printerPath) != 0) printer_close();
  std::memcpy(printerPath, path, sizeof path);
  return true;
}
