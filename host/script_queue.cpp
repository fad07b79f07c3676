#include "host/script_queue.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/script.h"

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
bool ended;
uint64_t pendingFrames;
uint64_t framesRun;
std::deque<Action> actions;
std::deque<Answer> answers;
bool haveFields;
char fieldStart[6], fieldEnd[6];
std::deque<std::string> consoleLines;

void log_frames(const ScriptQueueActions& to) {
  char line[64];
  std::snprintf(line, sizeof line, "script: %llu frames run",
                static_cast<unsigned long long>(framesRun));
  to.log(line);
}

} // namespace

bool script_queue_start(const char* path) {
  if (!script_open(path)) return false;
  active = true;
  return true;
}

bool script_queue_active() { return active; }

bool script_queue_step(bool wait, bool* runFrame, const ScriptQueueActions& to) {
  *runFrame = false;
  if (pendingFrames > 0) {
    if (!wait) {
      --pendingFrames;
      ++framesRun;
      *runFrame = true;
      return true;
    }
    pendingFrames = 0; // a stopped machine runs no frames: nothing to wait for
  }
  if (!actions.empty()) {
    Action a = actions.front();
    actions.pop_front();
    switch (a.type) {
    case ACTION_FRAMES: pendingFrames += static_cast<uint64_t>(a.value); break;
    case ACTION_KEY_DOWN: to.key(a.value, true); break;
    case ACTION_KEY_UP: to.key(a.value, false); break;
    case ACTION_COMMAND: to.command(a.value); break;
    case ACTION_QUIT:
      log_frames(to);
      to.quit(a.value);
      break;
    }
    return true;
  }
  if (script_step()) return true;
  if (ended) return false;
  // Nothing more will come: the run ends with the script's status.
  ended = true;
  log_frames(to);
  to.quit(script_status());
  return true;
}

int script_queue_dialog_answer(char* name, size_t size, char* start, char* end) {
  if (haveFields) {
    std::memcpy(start, fieldStart, sizeof fieldStart);
    std::memcpy(end, fieldEnd, sizeof fieldEnd);
    haveFields = false;
  }
  if (answers.empty()) return 0;
  Answer answer = answers.front();
  answers.pop_front();
  if (!answer.chosen || answer.name.size() + 1 > size) return 0;
  std::memcpy(name, answer.name.c_str(), answer.name.size() + 1);
  return 1;
}

bool script_queue_console_line(char* buffer, int size) {
  if (consoleLines.empty() || size <= 0) return false;
  std::string line = consoleLines.front();
  consoleLines.pop_front();
  size_t n = line.size() < static_cast<size_t>(size - 1) ? line.size() : size - 1;
  std::memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
  return true;
}

void script_queue_frames(uint32_t n) { actions.push_back({ACTION_FRAMES, static_cast<int>(n)}); }
void script_queue_key(int vk, bool down) {
  actions.push_back({down ? ACTION_KEY_DOWN : ACTION_KEY_UP, vk});
}
void script_queue_command(int id) { actions.push_back({ACTION_COMMAND, id}); }
void script_queue_quit(int exitCode) { actions.push_back({ACTION_QUIT, exitCode}); }
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
