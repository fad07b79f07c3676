// File dialogs asked for in the middle of an operation (the tape save that a
// ROM routine starts). The platform shows its save dialog; the headless
// platform answers from a queue that a test or a script fills.
#pragma once

#include <cstddef>

// Asks for the name of a file to save. `filter` lists pairs of description
// and pattern, each zero-terminated, ended by an empty string.
// `defaultExtension` (without the dot, e.g. "tkt") is appended when the name
// chosen has no '.' in its last component. Returns false when the dialog was
// cancelled or the name does not fit in `pathSize` bytes; `path` then holds
// an empty string.
bool host_save_file_dialog(const char* title, const char* filter, const char* defaultExtension,
                           char* path, size_t pathSize);
