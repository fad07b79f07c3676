#include "host/script/script_queue.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/platform_script.h"
#include "host/script/script.h"
#include "host/script/script_mode.h"

namespace {

enum ActionType { ACTION_FRAMES, ACTION_KEY_DOWN, ACTION_KEY_UP, ACTION_COMMAND, ACTION_QUIT };
struct Action {
  ActionType type;
  int value;
};
struct Answer {
  bool chosen;
  std::string name;
};

bool active;
uint64_t pendingFrames;
uint64_t framesRun;
std::deque<Action> actions;
std::deque<Answer> answers;
bool haveFields;
char fieldStart[6], fieldEnd[6];
std::deque<std::string> consoleLines;

void push(ActionType type, int value) {
  actions.push_back({type, value});
  active = true; // what is queued runs, also without a script
}

void log_frames() {
  script_log("script: %llu frames run", static_cast<unsigned long long>(framesRun));
}

// One action; true when that is a frame to run.
bool step(bool wait) {
  if (pendingFrames > 0) {
    if (!wait) {
      --pendingFrames;
      ++framesRun;
      return true;
    }
    pendingFrames = 0; // a stopped machine runs no frames: nothing to wait for
  }
  if (!actions.empty()) {
    Action a = actions.front();
    actions.pop_front();
    switch (a.type) {
    case ACTION_FRAMES: pendingFrames += static_cast<uint64_t>(a.value); break;
    case ACTION_KEY_DOWN: platform_script_key(a.value, true); break;
    case ACTION_KEY_UP: platform_script_key(a.value, false); break;
    case ACTION_COMMAND: platform_script_command(a.value); break;
    case ACTION_QUIT:
      log_frames();
      platform_post_quit(a.value);
      break;
    }
    return false;
  }
  if (script_step()) return false;
  // Nothing more will come: the run ends with the script's status.
  log_frames();
  platform_post_quit(script_status());
  return false;
}

} // namespace

bool script_queue_open(const char* path) {
  if (!script_open(path)) return false;
  active = true;
  return true;
}

void script_queue_text(const std::string& text) {
  script_text(text);
  active = true;
}

void script_queue_then_frames(uint32_t frames) {
  script_then_frames(frames);
  active = true;
}

bool script_queue_active() { return active; }

PlatformMessage script_queue_next_message(bool wait, int* exitCode) {
  if (!active) return platform_handle_message(wait, exitCode);
  PlatformMessage message = platform_handle_message(false, exitCode);
  if (message != PLATFORM_MESSAGE_NONE) return message;
  return step(wait) ? PLATFORM_MESSAGE_NONE : PLATFORM_MESSAGE_HANDLED;
}

int script_queue_take_answer(std::string* name, char* start, char* end) {
  if (start && end && haveFields) {
    std::memcpy(start, fieldStart, sizeof fieldStart);
    std::memcpy(end, fieldEnd, sizeof fieldEnd);
    haveFields = false;
  }
  if (answers.empty()) return -1;
  Answer answer = answers.front();
  answers.pop_front();
  if (!answer.chosen) return 0;
  *name = answer.name;
  return 1;
}

bool script_queue_take_console_line(char* buffer, int size) {
  if (consoleLines.empty() || size <= 0) return false;
  std::string line = consoleLines.front();
  consoleLines.pop_front();
  size_t n = line.size() < static_cast<size_t>(size - 1) ? line.size() : size - 1;
  std::memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
  return true;
}

void script_queue_frames(uint32_t n) { push(ACTION_FRAMES, static_cast<int>(n)); }
void script_queue_key(int vk, bool down) { push(down ? ACTION_KEY_DOWN : ACTION_KEY_UP, vk); }
void script_queue_command(int id) { push(ACTION_COMMAND, id); }
void script_queue_quit(int exitCode) { push(ACTION_QUIT, exitCode); }
void script_queue_answer(const char* path) {
  answers.push_back({path != nullptr, path ? path : ""});
}
void script_queue_fields(const char* start, const char* end) {
  std::snprintf(fieldStart, sizeof fieldStart, "%s", start);
  std::snprintf(fieldEnd, sizeof fieldEnd, "%s", end);
  haveFields = true;
}
void script_queue_console(const char* line) {
  std::string text = line ? line : "";
  if (text.empty() || (text.back() != '\n' && text.back() != '\r')) text += '\n';
  consoleLines.push_back(text);
}

void script_queue_clear_actions() {
  actions.clear();
  pendingFrames = 0;
}
void script_queue_clear_answers() {
  answers.clear();
  haveFields = false;
}
void script_queue_clear_console() { consoleLines.clear(); }
