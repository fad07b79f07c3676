// Controls of the headless platform that have no counterpart on a desktop:
// tests and scripts press and release host keys with them.
#pragma once

// Marks a virtual key as held or released.
void headless_set_key(int vk, bool down);

// ---- status bar -------------------------------------------------------------
// The text a status-bar part shows now ("" for part 1).
const char* headless_status_text(int part);

// ---- file dialogs -------------------------------------------------------------
// Answers for the next dialogs, taken in order; an empty queue cancels.
void headless_queue_dialog_answer(const char* path);
void headless_queue_dialog_cancel();
void headless_clear_dialog_answers();
const char* headless_last_dialog_title();
unsigned headless_dialog_count();
