// The file dialog kinds.
#include "host/ui/file_dialogs.h"

#include <cstring>

namespace {

const FileFilter wavFilters[] = {{"WAV files (*.wav)", "*.wav"}, {"All (*.*)", "*.*"}};
const FileFilter romFilters[] = {{"ROM/BIN files (*.rom;*.bin)", "*.rom;*.bin"},
                                 {"All Files (*.*)", "*.*"}};
const FileFilter charsetFilters[] = {{"ROM/BIN/CHR files (*.rom;*.bin;*.chr)", "*.rom;*.bin;*.chr"},
                                     {"All Files (*.*)", "*.*"}};
const FileFilter tapeFilters[] = {{"Tarvik tape files (*.tkt)", "*.tkt"},
                                  {"All Files (*.*)", "*.*"}};
const FileFilter snapshotFilters[] = {{"Tarvik snapshot files (*.tks)", "*.tks"},
                                      {"All Files (*.*)", "*.*"}};
const FileFilter memoryFilters[] = {{"TKT files (*.tkt)", "*.tkt"},
                                    {"ROM/BIN files (*.rom;*.bin)", "*.rom;*.bin"},
                                    {"All Files (*.*)", "*.*"}};
const FileFilter videoFilters[] = {{"AVI file-ok (*.avi)", "*.avi"}, {"Minden (*.*)", "*.*"}};
const FileFilter stateFilters[] = {{"Tarvik gépállapot (*.tkm)", "*.tkm"},
                                   {"All Files (*.*)", "*.*"}};
const FileFilter replayFilters[] = {{"Tarvik visszajátszás (*.tkr)", "*.tkr"},
                                    {"All Files (*.*)", "*.*"}};
const FileFilter soundFilters[] = {{"16 bit; mono; 48,000 kHz PCM (*.wav)", "*.wav"}};

const FileDialogKind kinds[] = {
    {3, false, false, false, "WAV kazettaállomány csatolása", wavFilters, 2, nullptr, nullptr},
    {5, false, true, false, "ROM/BIN betöltése...", romFilters, 2, nullptr, nullptr},
    {6, false, false, false, "Karakterkészlet betöltése...", charsetFilters, 2, nullptr, nullptr},
    {7, false, false, false, "TKT kazettaállomány csatolása...", tapeFilters, 2, nullptr, nullptr},
    {9, true, false, false, "Mentés WAV formátumban", wavFilters, 2, ".wav", nullptr},
    {10, true, false, false, "TKS file mentés", snapshotFilters, 2, ".tks", nullptr},
    {11, true, false, false, nullptr, nullptr, 0, ".bmp", nullptr},
    {12, true, true, false, "TKT/ROM/BIN kimentése...", memoryFilters, 3, ".tkt", ".bin"},
    {13, true, false, false, "TKT kazettaállomány mentése...", tapeFilters, 2, ".tkt", nullptr},
    {14, true, false, true, "Video mentése...", videoFilters, 2, ".avi", nullptr},
    {15, true, false, false, "Mentés WAV formátumban", soundFilters, 1, ".wav", nullptr},
    {16, false, false, false, "TKS file beolvasás", snapshotFilters, 2, nullptr, nullptr},
    {17, true, false, false, "Gépállapot mentése", stateFilters, 2, ".tkm", nullptr},
    {18, false, false, false, "Gépállapot betöltése", stateFilters, 2, nullptr, nullptr},
    {19, true, false, false, "Visszajátszás felvétele", replayFilters, 2, ".tkr", nullptr},
    {20, false, false, false, "Átírandó WAV felvétel", wavFilters, 2, nullptr, nullptr},
    {21, true, false, false, "A TKT kazettaállomány neve", tapeFilters, 2, ".tkt", nullptr},
    {22, false, false, false, "Átírandó TKT kazettaállomány", tapeFilters, 2, nullptr, nullptr},
    {23, true, false, false, "A WAV felvétel neve", wavFilters, 2, ".wav", nullptr},
};

} // namespace

const FileDialogKind* file_dialog_kind(int number) {
  for (const FileDialogKind& kind : kinds)
    if (kind.number == number) return &kind;
  return nullptr;
}

const char* file_dialog_extension_for(const FileDialogKind* kind, const char* name,
                                      uint32_t filterIndex) {
  if (!kind->save || !kind->defaultExtension) return nullptr;
  // Only the file's own name counts, not the folders above it.
  const char* base = name;
  for (const char* p = name; *p; ++p)
    if (*p == '/' || *p == '\\') base = p + 1;
  if (std::strchr(base, '.')) return nullptr;
  if (kind->otherExtension && filterIndex > 1) return kind->otherExtension;
  return kind->defaultExtension;
}

bool file_name_add_extension(char* path, size_t pathSize, const char* extension) {
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  if (!extension || !*extension || std::strchr(base, '.')) return true;
  if (std::strlen(path) + 1 + std::strlen(extension) >= pathSize) {
    path[0] = '\0';
    return false;
  }
  std::strcat(path, ".");
  std::strcat(path, extension);
  return true;
}
