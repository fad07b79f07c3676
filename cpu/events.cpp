// The timed-event list: a doubly linked list over five fixed slots, sorted by
// due time, with the sentinel (due -1, empty callback) normally first.
#include "cpu/events.h"

#include <cstdint>
#include <cstdio>

#include "cpu/cpu.h"
#include "cpu/state_io.h"

TimedEvent timedEvents[EVENT_SLOTS];
TimedEvent* eventHead;
TimedEvent* eventTail;
TimedEvent* eventCursor;
int64_t eventNextDue = INT64_MAX;

namespace {

void sentinel_callback(int64_t*, TimedEvent*) {}

void dummy_callback(int64_t*, TimedEvent*) {
  std::fputs("Warning! Dummy event callback!\n", stderr);
}

bool valid_id(int id) { return id >= 0 && id < EVENT_SLOTS; }

bool listed(const TimedEvent* slot) {
  for (const TimedEvent* e = eventHead; e; e = e->next)
    if (e == slot) return true;
  return false;
}

// The sentinel's callback does nothing, so the instruction cycle needs to
// enter the walk only when some other listed event is due.
void update_next_due() {
  int64_t next = INT64_MAX;
  for (const TimedEvent* e = eventHead; e; e = e->next)
    if (e != &timedEvents[EVENT_SENTINEL] && e->due < next) next = e->due;
  eventNextDue = next;
}

void unlink(TimedEvent* slot) {
  if (slot->prev)
    slot->prev->next = slot->next;
  else
    eventHead = slot->next;
  if (slot->next)
    slot->next->prev = slot->prev;
  else
    eventTail = slot->prev;
  slot->prev = slot->next = nullptr;
}

// Before the first event due at the same time or later; at the tail if none.
void link_sorted(TimedEvent* slot) {
  TimedEvent* at = eventHead;
  while (at && at->due < slot->due) at = at->next;
  slot->next = at;
  if (at) {
    slot->prev = at->prev;
    if (at->prev)
      at->prev->next = slot;
    else
      eventHead = slot;
    at->prev = slot;
  } else {
    slot->prev = eventTail;
    if (eventTail)
      eventTail->next = slot;
    else
      eventHead = slot;
    eventTail = slot;
  }
}

} // namespace

void event_init() {
  for (int id = 0; id < EVENT_SLOTS; ++id) timedEvents[id] = TimedEvent{};
  eventHead = eventTail = eventCursor = nullptr;
  cpu.tcount = -1;
  TimedEvent* sentinel = &timedEvents[EVENT_SENTINEL];
  sentinel->due = -1;
  link_sorted(sentinel);
  sentinel->id = EVENT_SENTINEL;
  sentinel->callback = sentinel_callback;
  update_next_due();
}

void event_add(int id, int64_t due, EventCallback callback) {
  if (!valid_id(id)) return;
  TimedEvent* slot = &timedEvents[id];
  // Adding a listed id would corrupt the list: take it out first.
  if (listed(slot)) unlink(slot);
  slot->due = due;
  link_sorted(slot);
  slot->id = id;
  slot->callback = callback ? callback : dummy_callback;
  event_set_callback(id, callback);
  update_next_due();
}

void event_move(int id, int64_t due) {
  if (!valid_id(id)) return;
  TimedEvent* slot = &timedEvents[id];
  if (listed(slot)) unlink(slot);
  slot->due = due;
  link_sorted(slot);
  update_next_due();
}

void event_remove(int id) {
  if (!valid_id(id)) return;
  TimedEvent* slot = &timedEvents[id];
  if (listed(slot)) unlink(slot);
  update_next_due();
}

TimedEvent* event_find(int id) {
  for (TimedEvent* e = eventHead; e; e = e->next)
    if (e->id == id) return e;
  return nullptr;
}

void event_run_due() {
  eventCursor = eventHead;
  while (eventCursor && eventCursor->due <= cpu.tcount) {
    if (eventCursor->callback) eventCursor->callback(&cpu.tcount, eventCursor);
    eventCursor = eventCursor->next;
  }
  update_next_due();
}

// ---- the state record --------------------------------------------------

namespace {
EventCallback knownCallbacks[EVENT_SLOTS];
}

void event_set_callback(int id, EventCallback callback) {
  if (valid_id(id) && callback) knownCallbacks[id] = callback;
}

void event_state_save(StateWriter& w) {
  uint8_t count = 0;
  for (const TimedEvent* e = eventHead; e; e = e->next) ++count;
  w.u8(count);
  for (const TimedEvent* e = eventHead; e; e = e->next) {
    w.u8(static_cast<uint8_t>(e - timedEvents));
    w.i64(e->due);
  }
}

bool event_state_load(StateReader& r, bool apply) {
  const uint8_t count = r.u8();
  if (count > EVENT_SLOTS) return r.fail();
  uint8_t ids[EVENT_SLOTS];
  int64_t dues[EVENT_SLOTS];
  bool seen[EVENT_SLOTS] = {};
  for (int k = 0; k < count; ++k) {
    ids[k] = r.u8();
    dues[k] = r.i64();
    if (!r.ok() || ids[k] >= EVENT_SLOTS || seen[ids[k]]) return r.fail();
    seen[ids[k]] = true;
    if (k > 0 && dues[k] < dues[k - 1]) return r.fail();
    if (dues[k] < -1 || dues[k] > kStateMostTicks) return r.fail();
    if (ids[k] != EVENT_SENTINEL && !knownCallbacks[ids[k]]) return r.fail();
  }
  if (!seen[EVENT_SENTINEL]) return r.fail();
  if (!apply) return true;
  for (int id = 0; id < EVENT_SLOTS; ++id) timedEvents[id].prev = timedEvents[id].next = nullptr;
  eventHead = eventTail = eventCursor = nullptr;
  for (int k = 0; k < count; ++k) {
    TimedEvent* slot = &timedEvents[ids[k]];
    slot->id = ids[k];
    slot->due = dues[k];
    slot->callback = ids[k] == EVENT_SENTINEL ? sentinel_callback : knownCallbacks[ids[k]];
    // In saved order: each at the tail.
    slot->prev = eventTail;
    if (eventTail)
      eventTail->next = slot;
    else
      eventHead = slot;
    eventTail = slot;
  }
  update_next_due();
  return true;
}
