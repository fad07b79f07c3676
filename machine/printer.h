// The printer: bytes printed by the emulated program go to a text file.
#pragma once

#include <cstdint>
#include <cstdio>

extern std::FILE* printerFile;
extern char printerPath[260];
using PrinterTranslate = uint8_t (*)(uint8_t code);
extern PrinterTranslate printerTranslate;

// The naming command: "printer.txt" in the current directory.
void printer_name();
void printer_write(uint8_t code);
void printer_close();
void printer_install_translation();
// The printer's national character set to code page 1250.
uint8_t printer_translate_cp1250(uint8_t code);

// "PRNT": the printer file's name and whether it was open. The file itself
// is the user's: after a load the next byte printed appends to the named
// file, as after the printer was closed.
class StateWriter;
class StateReader;
void printer_state_save(StateWriter& w);
bool printer_state_load(StateReader& r, bool apply);
