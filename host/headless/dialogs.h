// The headless file dialogs: answers queued by a test or a script, taken in
// order; an empty queue answers "cancelled".
#pragma once

// Queues the file name the next dialog chooses (copied).
void headless_queue_dialog_answer(const char* path);
// Queues a cancelled dialog.
void headless_queue_dialog_cancel();
void headless_clear_dialog_answers();
// The title of the last dialog shown, "" before the first.
const char* headless_last_dialog_title();
// Dialogs shown so far.
unsigned headless_dialog_count();
