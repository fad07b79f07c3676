// Timed events: devices clocked by the CPU's cycle counter register a
// callback at a due time; the core runs every due event after each T-state
// step of an instruction. Five fixed slots by id; slot 4 is the sentinel.
#pragma once

#include <cstdint>

struct TimedEvent;
using EventCallback = void (*)(int64_t* tcount, TimedEvent* self);

struct TimedEvent {
  TimedEvent* prev;
  TimedEvent* next;
  int64_t due;
  int32_t id;
  EventCallback callback;
};

enum : int { EVENT_SPEECH = 1, EVENT_WAV_TAPE = 2, EVENT_SENTINEL = 4, EVENT_SLOTS = 5 };

extern TimedEvent timedEvents[EVENT_SLOTS];
extern TimedEvent* eventHead;
extern TimedEvent* eventTail;
extern TimedEvent* eventCursor;

// Earliest due time of the listed events other than the sentinel (whose
// callback does nothing); INT64_MAX when there is none. The instruction
// cycle compares the cycle counter with it after every step.
extern int64_t eventNextDue;

// tcount = -1 and only the sentinel (due -1) listed.
void event_init();
// Links slot id in due-time order (before events due at the same time). A
// null callback is replaced by one that prints a warning.
void event_add(int id, int64_t due, EventCallback callback);
void event_move(int id, int64_t due);
void event_remove(int id);
TimedEvent* event_find(int id);
// Calls the callbacks of the due events in list order.
void event_run_due();

// The callback that belongs to an id, for a list put back from a machine
// state: its owner declares it once at start-up (event_add also records
// the callback it is given).
void event_set_callback(int id, EventCallback callback);

// The record of the pending events (the machine state's "EVNT"): each listed
// slot's id and due time, in list order. The load refuses an unknown id, an
// id listed twice, an id without a declared callback, a list out of due-time
// order and a list without the sentinel.
class StateWriter;
class StateReader;
void event_state_save(StateWriter& w);
bool event_state_load(StateReader& r, bool apply);
