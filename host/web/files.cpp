// Files in the browser. The page writes the files the user drops or picks
// into the input folder and has the host open them (window_on_open_file);
// save dialogs answer with a name in the save folder, and every file there
// leaves as a download once it is finished. ROM dumps the user chose are
// kept by the page and put into the ROM folder before the program starts.
#include <dirent.h>
#include <emscripten/emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/output/audio.h"
#include "host/output/avi.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/ui/file_dialogs.h"
#include "host/ui/menu.h"
#include "host/web/web.h"
#include "machine/machine.h"
#include "machine/rom.h"
#include "media/wav_tape.h"

namespace {

// Sizes seen at the last delivery check, for files still growing.
constexpr int kWatched = 16;
struct Watched {
  std::string name;
  long size;
};
Watched watched[kWatched];

EM_JS(void, js_download, (const char* path, const char* name),
      { TarvikUI.download(UTF8ToString(name), FS.readFile(UTF8ToString(path))); });
EM_JS(void, js_keep_file, (const char* path), { TarvikUI.keepFile(UTF8ToString(path)); });
EM_JS(void, js_remember_rom, (const char* path, const char* name),
      { TarvikUI.rememberRom(UTF8ToString(name), FS.readFile(UTF8ToString(path))); });
// The address panel's two fields, asked for one after the other; false when
// the user cancelled either.
EM_JS(int, js_address_panel, (char* start, char* end), {
  const fields = TarvikUI.addressPanel(UTF8ToString(start), UTF8ToString(end));
  if (!fields) return 0;
  stringToUTF8(fields[0], start, 6);
  stringToUTF8(fields[1], end, 6);
  return 1;
});

// Names of the files in the save folder; the recordings have their own, so
// that a snapshot taken meanwhile does not meet them.
constexpr const char* kSoundCapture = "tarvik-hang.wav";
constexpr const char* kTapeRecording = "tarvik-magno.wav";
constexpr const char* kVideoCapture = "tarvik.avi";
constexpr const char* kPrinter = "printer.txt";

// The proposal of a save dialog: "tarvik" with the kind's extension.
std::string save_name(const FileDialogKind* kind, uint32_t filterIndex) {
  std::string folder = std::string(WEB_SAVE_FOLDER) + "/";
  if (kind && kind->number == FILE_DIALOG_SOUND_RECORD) return folder + kSoundCapture;
  if (kind && kind->number == FILE_DIALOG_WAV_CREATE) return folder + kTapeRecording;
  const char* extension = kind ? file_dialog_extension_for(kind, "tarvik", filterIndex) : "";
  return folder + "tarvik" + (extension ? extension : "");
}

bool copy_out(const std::string& chosen, char* name, size_t size) {
  if (chosen.size() + 1 > size) return false;
  std::memcpy(name, chosen.c_str(), chosen.size() + 1);
  return true;
}

// A file still open for writing: a sound or video capture, a WAV recording,
// the printer's output (which stays: the printer keeps appending).
bool held(const char* name) {
  if (std::strcmp(name, kPrinter) == 0) return true;
  if (std::strcmp(name, kSoundCapture) == 0 && audio_recording(nullptr)) return true;
  if (std::strcmp(name, kVideoCapture) == 0 && aviState != 0) return true;
  return std::strcmp(name, kTapeRecording) == 0 && wavFile && !cassettePlayback;
}

long file_size(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// True when the file has the size it had at the last check.
bool quiet(const std::string& name, long size) {
  Watched* free = nullptr;
  for (Watched& w : watched) {
    if (w.name == name) {
      bool same = w.size == size;
      w.size = size;
      return same;
    }
    if (w.name.empty() && !free) free = &w;
  }
  if (free) *free = {name, size};
  return false;
}

void forget(const std::string& name) {
  for (Watched& w : watched)
    if (w.name == name) w = {};
}

} // namespace

bool web_ask_address_fields(AddressPanel* panel) {
  return js_address_panel(panel->start, panel->end) != 0;
}

void web_files_deliver(bool quietOnly) {
  DIR* dir = opendir(WEB_SAVE_FOLDER);
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.' || held(entry->d_name)) continue;
    std::string name = entry->d_name;
    std::string path = std::string(WEB_SAVE_FOLDER) + "/" + name;
    long size = file_size(path);
    if (size < 0 || (quietOnly && !quiet(name, size))) continue;
    js_download(path.c_str(), name.c_str());
    unlink(path.c_str());
    forget(name);
  }
  closedir(dir);
}

// Open dialogs are cancelled: the page's picker chooses the file before its
// command runs (window_on_open_file). Save dialogs answer with the proposal
// at once; the address panel's fields are asked for by the page.
bool platform_file_dialog(const FileDialogKind* kind, char* name, size_t size,
                          AddressPanel* panel) {
  if (!kind || !kind->save) return false;
  if (panel && !web_ask_address_fields(panel)) return false;
  return copy_out(save_name(kind, panel ? panel->filterIndex : 1), name, size);
}

bool platform_save_file_dialog(const char*, const char*, const char* defaultExtension, char* path,
                               size_t pathSize) {
  std::string chosen = std::string(WEB_SAVE_FOLDER) + "/tarvik";
  if (defaultExtension && *defaultExtension) chosen += std::string(".") + defaultExtension;
  if (!copy_out(chosen, path, pathSize)) {
    if (pathSize > 0) path[0] = '\0';
    return false;
  }
  return true;
}

// The quick snapshots live in the data folder of the page's file system;
// the page keeps a copy of each in local storage and puts it back before the
// program starts, as it does with the files the recent files name.
bool platform_data_folder(char* folder, size_t size) {
  mkdir(WEB_DATA_FOLDER, 0777);
  return copy_out(WEB_DATA_FOLDER, folder, size);
}

void platform_keep_file(const char* path) { js_keep_file(path); }

extern "C" {

// A ROM dump the user chose for the current model (or, under one of the ROM
// folder's own names, for that image): kept in the ROM folder, remembered
// by the page, and in use after a cold restart. Returns the image replaced,
// or -1 when the file has the wrong size (nothing changes).
EMSCRIPTEN_KEEPALIVE int web_replace_rom(const char* path, const char* fileName) {
  int image = -1;
  for (int i = 0; i < ROM_IMAGES; ++i)
    if (std::strcmp(fileName, romFiles[i].fileName) == 0) image = i;
  if (image < 0) image = static_cast<int>(model()); // models 0-3 are images 0-3
  long size = file_size(path);
  if (size != static_cast<long>(romFiles[image].size)) {
    // The report of a ROM folder's file of the wrong size, in the page.
    char text[320];
    if (size >= 0)
      std::snprintf(text, sizeof text,
                    "%s: a mérete %ld bájt, nem %u; a beépített képet használom.", fileName, size,
                    romFiles[image].size);
    else
      std::snprintf(text, sizeof text, "%s: nem olvasható; a beépített képet használom.", fileName);
    platform_message_box("", text, PLATFORM_ICON_STOP);
    return -1;
  }
  std::string target = std::string(WEB_ROM_FOLDER) + "/" + romFiles[image].fileName;
  if (std::rename(path, target.c_str()) != 0) return -1;
  js_remember_rom(target.c_str(), romFiles[image].fileName);
  rom_use_builtin();
  rom_load_folder(WEB_ROM_FOLDER, nullptr);
  return image;
}

// Back to the built-in images; the page forgets the dumps.
EMSCRIPTEN_KEEPALIVE void web_forget_roms() {
  for (const RomFile& file : romFiles)
    unlink((std::string(WEB_ROM_FOLDER) + "/" + file.fileName).c_str());
  rom_use_builtin();
}

} // extern "C"
