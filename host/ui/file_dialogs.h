// The file dialogs the commands use: title, filters, default extension,
// and whether the address panel is attached.
#pragma once

#include <cstddef>
#include <cstdint>

struct FileFilter {
  const char* description;
  const char* pattern;
};

struct FileDialogKind {
  int number;
  bool save;         // save dialog: asks before overwriting
  bool addressPanel; // the two address fields below the dialog
  bool classicLook;  // the old-style dialog (video capture)
  const char* title; // null: the platform's default title
  const FileFilter* filters;
  int filterCount;
  // Appended by save dialogs to a name without any "."; with a second
  // extension, the first goes with the first filter, the second with the
  // others.
  const char* defaultExtension;
  const char* otherExtension;
};

enum FileDialogNumber {
  FILE_DIALOG_WAV_ATTACH = 3,
  FILE_DIALOG_LOAD_BINARY = 5,
  FILE_DIALOG_LOAD_CHARSET = 6,
  FILE_DIALOG_TAPE_IMAGE = 7,
  FILE_DIALOG_WAV_CREATE = 9,
  FILE_DIALOG_SNAPSHOT_SAVE = 10,
  FILE_DIALOG_SCREENSHOT = 11,
  FILE_DIALOG_SAVE_MEMORY = 12,
  FILE_DIALOG_TAPE_SAVE = 13,
  FILE_DIALOG_VIDEO = 14,
  FILE_DIALOG_SOUND_RECORD = 15,
  FILE_DIALOG_SNAPSHOT_LOAD = 16,
  FILE_DIALOG_STATE_SAVE = 17,
  FILE_DIALOG_STATE_LOAD = 18,
  FILE_DIALOG_REPLAY_RECORD = 19,
  FILE_DIALOG_CONVERT_WAV = 20,
  FILE_DIALOG_CONVERTED_TKT = 21,
  FILE_DIALOG_CONVERT_TKT = 22,
  FILE_DIALOG_CONVERTED_WAV = 23,
};
// The dialog kind with this number, or null.
const FileDialogKind* file_dialog_kind(int number);
// The extension a save dialog appends to name (none when it holds a "."),
// for the filter chosen (1-based).
const char* file_dialog_extension_for(const FileDialogKind* kind, const char* name,
                                      uint32_t filterIndex);
// A name without "." in its last part gets ".extension" (none: unchanged).
// False, with path emptied, when the name would not fit in pathSize bytes.
bool file_name_add_extension(char* path, size_t pathSize, const char* extension);
