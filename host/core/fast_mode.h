// Running faster than real time where the machine cannot tell: while the
// fast-forward key is held, and (with fast tape loading on) while the
// machine reads a tape. Only the host's side changes: the pacing stops
// waiting; for a tape load the sound is also muted, the picture is shown a
// few times a second and the status bar says so (not while an AVI capture
// runs: it takes every picture as in real time). The machine computes the
// same frames as at real-time speed, so a tape loads bit for bit the same.
#pragma once

#include "machine/virtual_keys.h"

// Held down, the machine runs unpaced; no machine key table uses it.
inline constexpr int FAST_FORWARD_KEY = VKEY_F4;
// Status-bar part 3 while a tape loads fast.
inline constexpr const char* FAST_TAPE_TEXT = "Gyors betöltés...";

// After each emulated frame, before its pacing: looks at the key and the
// tape and switches the speed, the sound and the status text.
void fast_mode_after_frame();
// True while a tape loads fast.
bool fast_mode_tape();
// Back to real time with the sound and the status text as they were.
void fast_mode_reset();
