// Fast tape loading and saving through ROM traps on the Tarvik models.
#pragma once

// Removes the tape-loader trap records (the ROM bytes they replaced come
// back) and installs them again; a memory reset brackets the ROM copy with
// the two.
void tape_traps_remove();
void tape_traps_install();
