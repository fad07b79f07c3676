// AVI capture: Alt+I records every emulated frame (and the sound output
// with it) into an AVI file until Alt+I again.
#pragma once

#include <cstdint>

struct FrameBitmap;

// 1 is not used: a capture is either off or writing frames.
enum AviState : uint32_t { AVI_OFF = 0, AVI_CAPTURING = 2 };

extern AviState aviState;
extern uint32_t aviVideoFrames;  // frames written
extern uint32_t aviAudioChunks;  // sound chunks written
extern uint32_t aviAudioSamples; // sound samples written (48 000 a second)

// Builds the recorded frame's description from the frame bitmap's: the
// 256 rows the DirectDraw path shows, or the 512 rows of the GDI path.
bool avi_setup(const FrameBitmap* bitmap, bool directDraw);
// Opens the file with a video stream and, with sound, an audio stream that
// takes what the sound output produces from now on.
bool avi_start(const char* fileName, bool withSound);
// Adds the current frame, and the sound output since the previous one, to
// the file.
void avi_frame(const FrameBitmap* bitmap, bool directDraw, const uint8_t* pixels);
// Closes the streams and the file with its subject record.
void avi_stop();
// Alt+I: starts a capture after asking for the file name, or stops it.
void avi_command();
