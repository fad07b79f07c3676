// The machine's history as the host keeps it: recordings, replays and the
// frame hashes, and the window following a complete state put in place.
#include "host/core/history.h"

#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "host/core/pacing.h"
#include "host/core/window.h"
#include "host/output/audio.h"
#include "host/output/display.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/ui/file_dialogs.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "media/machine_state.h"
#include "media/messages.h"
#include "media/replay.h"
#include "media/rewind.h"

namespace {

uint32_t hashEvery;
uint32_t framesRun;
// Frames the machine has run since the start, as the history counts them:
// a step back sets it back.
uint32_t machineFrame;
bool outsideChange;
bool verifying;
int exitStatus;

// ---- the rewind ring, and the inputs since its oldest state ----
struct Input {
  uint32_t frame; // the inputs come after this many frames
  uint8_t releaseAll;
  uint8_t vk;
  uint8_t down;
  uint16_t character;
  uint32_t modifiers;
};
std::vector<Input> inputs;
// The frame of each state in the ring, oldest first.
std::vector<uint32_t> ringFrames;
bool rewindEnabled;
int rewindTicks;
constexpr uint32_t kRingInterval = 50; // a state a second
constexpr int kRewindTicksPerStep = 6; // F3 held: a second back every 6 frames' time

// ---- the undo of the monitor and of single frames ----
constexpr int kUndoDepth = 32;
std::vector<uint8_t> undoStates[kUndoDepth];
int undoTop, undoCount;

void ring_push() {
  if (!rewindEnabled) return;
  rewind_push();
  ringFrames.push_back(machineFrame);
  // The ring drops its oldest states when full: their frames and the inputs
  // before the oldest kept go too.
  const size_t kept = rewind_count();
  if (ringFrames.size() > kept) ringFrames.erase(ringFrames.begin(), ringFrames.end() - kept);
  if (!ringFrames.empty() && !inputs.empty() && inputs.front().frame < ringFrames.front()) {
    size_t drop = 0;
    while (drop < inputs.size() && inputs[drop].frame < ringFrames.front()) ++drop;
    inputs.erase(inputs.begin(), inputs.begin() + static_cast<std::ptrdiff_t>(drop));
  }
}

// The newest state put in place and taken out of the ring.
bool ring_pop_load() {
  char reason[200];
  if (ringFrames.empty() || !rewind_step_back(reason, sizeof reason)) return false;
  machineFrame = ringFrames.back();
  ringFrames.pop_back();
  return true;
}

void forget_from(uint32_t frame) {
  size_t keep = inputs.size();
  while (keep > 0 && inputs[keep - 1].frame >= frame) --keep;
  inputs.resize(keep);
}

void apply(const Input& in) {
  if (in.releaseAll)
    keyboard_release_all();
  else
    keyboard_key_event(in.vk, in.down != 0, in.character, in.modifiers);
}

void failure(const char* text) { host_message_box("Hiba!", text, PLATFORM_ICON_STOP); }

void replay_ended(const char* reason) {
  if (reason && *reason) failure(reason);
  replay_play_close();
  platform_post_quit(exitStatus);
}

} // namespace

bool history_before_frame() {
  if (outsideChange) {
    outsideChange = false;
    ring_push();
  }
  if (!replay_playing() && !replay_recording()) return true;
  char reason[300] = "";
  if (replay_frame_begin(reason, sizeof reason)) return true;
  if (replay_playing()) replay_ended(reason);
  return false;
}

void history_after_frame() {
  ++framesRun;
  ++machineFrame;
  undoCount = 0; // the machine ran on
  if (machineFrame % kRingInterval == 0) ring_push();
  bool differs = false;
  const bool playing = replay_playing();
  if (!replay_frame_end(&differs))
    failure("A visszajátszás felvétele megszakadt: az állomány nem írható (megtelt a lemez?).");
  if (!replay_recording() && menu_checked(CMD_REPLAY_RECORD))
    menu_set_checked(CMD_REPLAY_RECORD, false);
  if (hashEvery && framesRun % hashEvery == 0)
    std::printf("hash %" PRIu32 " %016" PRIX64 "\n", framesRun, replay_machine_hash());
  if (playing && verifying && differs) {
    char text[120];
    std::snprintf(text, sizeof text,
                  "A visszajátszás eltér a felvételtől a %" PRIu32 ". képkockánál.", framesRun);
    exitStatus = 1;
    replay_ended(text);
  }
}

void history_machine_changed() {
  replay_record_machine_changed();
  outsideChange = true;
}

void history_key(uint8_t vk, bool down, uint16_t character, uint32_t modifiers) {
  replay_record_key(vk, down, character, modifiers);
  if (rewindEnabled && inputs.size() < inputs.max_size() / 2)
    inputs.push_back({machineFrame, 0, vk, static_cast<uint8_t>(down), character, modifiers});
}

void history_keys_released() {
  replay_record_release_all();
  if (rewindEnabled) inputs.push_back({machineFrame, 1, 0, 0, 0, 0});
}

void history_state_loaded() {
  for (int id = CMD_MODEL_FIRST; id <= CMD_MODEL_LAST; ++id)
    menu_set_checked(id, id == CMD_MODEL_FIRST + static_cast<int>(model()));
  for (int id = CMD_RAM_FIRST; id <= CMD_RAM_LAST; ++id)
    menu_set_checked(id, id == CMD_RAM_FIRST + static_cast<int>(machineState.ramSizeIndex));
  menu_set_checked(CMD_SYMBOLIC_KEYBOARD, machineState.symbolicKeyboard == 1);
  menu_set_checked(CMD_SCREEN_MODE_32, machineState.screenMode32 == 1);
  status_set_text(0, "%s", modelTable[model()].statusLabel);
  // The sound goes on from the state's cycle counter.
  audio_reset();
  if (running) audio_resume();
  display_update_target();
  platform_invalidate(true);
  pacing_reset();
  history_machine_changed();
}

bool history_record_start(const char* path, char* message, size_t messageSize) {
  if (!replay_record_start(path, message, messageSize)) return false;
  menu_set_checked(CMD_REPLAY_RECORD, true);
  return true;
}

bool history_record_stop() {
  const bool ok = replay_record_stop();
  menu_set_checked(CMD_REPLAY_RECORD, false);
  return ok;
}

void history_record_command() {
  if (replay_recording()) {
    if (!history_record_stop())
      failure("A visszajátszás felvétele nem írható végig (megtelt a lemez?).");
    return;
  }
  char name[1024] = "";
  if (!host_file_dialog(file_dialog_kind(FILE_DIALOG_REPLAY_RECORD), name, sizeof name, nullptr))
    return;
  char reason[200];
  if (!history_record_start(name, reason, sizeof reason)) failure(reason);
}

bool history_replay_start(const char* path, bool verify, char* message, size_t messageSize) {
  if (!replay_play_open(path, message, messageSize)) return false;
  verifying = verify;
  exitStatus = 0;
  history_state_loaded();
  return true;
}

bool history_replay_hashes(const char* path, uint32_t every, std::string* lines, char* message,
                           size_t messageSize) {
  if (!replay_play_open(path, message, messageSize)) return false;
  lines->clear();
  uint32_t frames = 0;
  while (replay_frame_begin(message, messageSize)) {
    run_frame();
    replay_frame_end(nullptr);
    if (every && ++frames % every == 0) {
      char line[64];
      std::snprintf(line, sizeof line, "hash %" PRIu32 " %016" PRIX64 "\n", frames,
                    replay_machine_hash());
      *lines += line;
    }
  }
  replay_play_close();
  history_state_loaded();
  return true;
}

void history_print_hashes(uint32_t every) { hashEvery = every; }
int history_exit_status() { return exitStatus; }

void history_rewind_enable(bool on) {
  ringFrames.clear();
  inputs.clear();
  // A smaller arena where the whole one cannot be had (the web page's fixed
  // memory): fewer of the busiest seconds fit, as many quiet ones. Without
  // any there is no rewind, and nothing else changes.
  rewindEnabled = false;
  for (size_t arena = REWIND_ARENA_BYTES; on && !rewindEnabled && arena >= (1u << 20); arena /= 4)
    rewindEnabled = rewind_init(REWIND_SECONDS, arena);
  if (!rewindEnabled) rewind_shutdown();
}

bool history_rewind_tick() {
  if (++rewindTicks < kRewindTicksPerStep) return true;
  rewindTicks = 0;
  // The states of this very moment show nothing new: the one before them.
  const uint32_t now = machineFrame;
  while (!ringFrames.empty() && ringFrames.back() >= now) {
    if (!ring_pop_load()) return false;
  }
  if (!ring_pop_load()) return false;
  forget_from(machineFrame);
  history_state_loaded();
  status_message("Visszatekerés: %u mp",
                 static_cast<unsigned>((now - machineFrame) / kRingInterval));
  return true;
}

bool history_go_back(uint32_t frames, char* message, size_t messageSize) {
  const uint32_t target = machineFrame > frames ? machineFrame - frames : 0;
  if (ringFrames.empty() || ringFrames.front() > target) {
    if (message && messageSize)
      std::snprintf(message, messageSize, "Az előzmények csak %u képkockáig érnek vissza.",
                    ringFrames.empty() ? 0u : machineFrame - ringFrames.front());
    return false;
  }
  while (ringFrames.back() > target) ring_pop_load();
  if (!ring_pop_load()) {
    if (message && messageSize) std::snprintf(message, messageSize, "Az előzmény nem tölthető be.");
    return false;
  }
  ring_push(); // the state gone back to stays in the ring
  // The inputs since that state, frame by frame, up to the frame asked for.
  size_t next = 0;
  while (next < inputs.size() && inputs[next].frame < machineFrame) ++next;
  while (machineFrame < target) {
    while (next < inputs.size() && inputs[next].frame == machineFrame) apply(inputs[next++]);
    run_frame();
    ++machineFrame;
  }
  forget_from(target);
  history_state_loaded();
  return true;
}

void history_checkpoint() {
  machine_state_save(undoStates[undoTop]);
  undoTop = (undoTop + 1) % kUndoDepth;
  if (undoCount < kUndoDepth) ++undoCount;
}

bool history_undo() {
  if (undoCount == 0) return false;
  const int slot = (undoTop + kUndoDepth - 1) % kUndoDepth;
  char reason[200];
  if (!machine_state_load(undoStates[slot].data(), undoStates[slot].size(), reason, sizeof reason))
    return false;
  undoTop = slot;
  --undoCount;
  history_state_loaded();
  return true;
}

void history_reset() {
  history_rewind_enable(false);
  machineFrame = 0;
  outsideChange = false;
  undoCount = 0;
  rewindTicks = 0;
  replay_record_stop();
  replay_play_close();
  hashEvery = 0;
  framesRun = 0;
  verifying = false;
  exitStatus = 0;
}
