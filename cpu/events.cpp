// The timed-event list: a doubly linked list over five fixed slots, sorted by
// due time, with the sentinel (due -1, empty callback) normally first.
#include "cpu/events.h"

#include <cstdint>
#include <cstdio>

#include "cpu/cpu.h"

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
