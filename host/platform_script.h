// What script mode (host/script/script_queue.h, host/script/script_mode.h) asks of a
// platform: a key pressed or released as from the keyboard, a menu command
// as from the menu, and the text of one of the host's dialogs read back
// from the dialog itself without showing it. The quit is platform_post_quit.
#pragma once

#include "host/platform.h"

#include <string>

void platform_script_key(int vk, bool down);
void platform_script_command(int id);
// The dialog (as platform_modal_dialog shows it) as one line: "dialog N:
// its title | its texts".
std::string platform_script_dialog_text(HostDialog dialog);
