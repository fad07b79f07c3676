// The rewind ring: the newest complete state whole, the older ones as
// differences in a byte arena used as a ring.
//
// A difference turns a newer state N back into the older state O before
// it. Its bytes: O's length, then pairs of (unchanged bytes to skip,
// changed bytes that follow) with the changed bytes as O XOR N (N read as
// zeros past its end); both counts are 7-bit varints. A pair ends where
// four unchanged bytes in a row begin.
#include "media/rewind.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "media/machine_state.h"

namespace {

struct Entry {
  size_t offset, length;
};

// The arena comes from malloc, which answers null when the memory cannot be
// had (operator new would end the program where exceptions are off).
struct FreeBytes {
  void operator()(uint8_t* p) const { std::free(p); }
};

struct Ring {
  std::unique_ptr<uint8_t[], FreeBytes> arena;
  size_t arenaSize = 0;
  std::unique_ptr<Entry[]> entries; // the differences, oldest at `first`
  size_t slots = 0;                 // room for differences: one state fewer than the ring
  size_t first = 0, count = 0;
  size_t used = 0; // bytes of the arena the differences take
  std::vector<uint8_t> newest, fresh, scratch;
  bool haveNewest = false;
};
Ring ring;

// The working buffers start with room for a 64 KB machine's state and its
// worst difference, so that a push allocates nothing.
constexpr size_t kStateRoom = 256u << 10;
constexpr size_t kRunBreak = 4; // unchanged bytes that end a run of changed ones

size_t varint_size(size_t v) {
  size_t n = 1;
  for (; v >= 0x80; v >>= 7) ++n;
  return n;
}

void put_varint(uint8_t*& p, size_t v) {
  while (v >= 0x80) {
    *p++ = static_cast<uint8_t>(v | 0x80);
    v >>= 7;
  }
  *p++ = static_cast<uint8_t>(v);
}

bool get_varint(const uint8_t*& p, const uint8_t* end, size_t* v) {
  size_t value = 0;
  for (int shift = 0; p < end && shift < 64; shift += 7) {
    const uint8_t b = *p++;
    value |= static_cast<size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) {
      *v = value;
      return true;
    }
  }
  return false;
}

// The byte of the difference at i.
inline uint8_t diff_at(const uint8_t* older, const uint8_t* newer, size_t newerSize, size_t i) {
  return static_cast<uint8_t>(older[i] ^ (i < newerSize ? newer[i] : 0));
}

// Unchanged bytes from i on (up to `end`), eight at a time where both exist.
size_t unchanged_from(const uint8_t* older, const uint8_t* newer, size_t newerSize, size_t i,
                      size_t end) {
  const size_t start = i;
  const size_t both = newerSize < end ? newerSize : end;
  while (i + 8 <= both) {
    uint64_t a, b;
    std::memcpy(&a, older + i, 8);
    std::memcpy(&b, newer + i, 8);
    if (a != b) break;
    i += 8;
  }
  while (i < end && diff_at(older, newer, newerSize, i) == 0) ++i;
  return i - start;
}

// The difference that turns `newer` into `older`, into `out` (sized for the
// worst case first); returns its length.
size_t encode(const std::vector<uint8_t>& older, const std::vector<uint8_t>& newer,
              std::vector<uint8_t>& out) {
  const size_t o = older.size(), n = newer.size();
  // Each pair but the last covers at least kRunBreak + 1 bytes, and no
  // count is larger than the length.
  const size_t counts = varint_size(o);
  const size_t worst = counts + o + 2 * counts * (o / (kRunBreak + 1) + 1);
  if (out.size() < worst) out.resize(worst);
  const uint8_t* a = older.data();
  const uint8_t* b = newer.data();
  uint8_t* p = out.data();
  put_varint(p, o);
  size_t i = 0;
  while (i < o) {
    const size_t skip = unchanged_from(a, b, n, i, o);
    i += skip;
    size_t j = i;
    while (j < o) {
      if (diff_at(a, b, n, j) != 0) {
        ++j;
        continue;
      }
      const size_t quiet = unchanged_from(a, b, n, j, j + kRunBreak < o ? j + kRunBreak : o);
      if (quiet >= kRunBreak || j + quiet == o) break;
      j += quiet;
    }
    put_varint(p, skip);
    put_varint(p, j - i);
    for (; i < j; ++i) *p++ = diff_at(a, b, n, i);
  }
  return static_cast<size_t>(p - out.data());
}

// Turns `state` (the newer) into the older one the difference describes.
bool decode(const uint8_t* data, size_t size, std::vector<uint8_t>& state) {
  const uint8_t* p = data;
  const uint8_t* end = data + size;
  size_t o;
  if (!get_varint(p, end, &o)) return false;
  // Past the newer state's end its bytes read as zeros.
  state.resize(o, 0);
  size_t i = 0;
  while (i < o) {
    size_t skip, changed;
    if (!get_varint(p, end, &skip) || !get_varint(p, end, &changed)) return false;
    if (skip > o - i || changed > o - i - skip || changed > static_cast<size_t>(end - p))
      return false;
    i += skip;
    for (size_t k = 0; k < changed; ++k) state[i + k] ^= p[k];
    i += changed;
    p += changed;
  }
  return p == end;
}

void drop_oldest() {
  const Entry& e = ring.entries[ring.first];
  ring.used -= e.length;
  ring.first = (ring.first + 1) % ring.slots;
  if (--ring.count == 0) ring.first = 0;
}

void drop_differences() {
  while (ring.count) drop_oldest();
}

// Where a difference of `length` bytes goes: after the newest, or at the
// arena's start when it does not fit before the end; the oldest entries in
// its way are dropped.
size_t make_room(size_t length) {
  if (ring.count == ring.slots) drop_oldest();
  size_t at = 0;
  if (ring.count) {
    const Entry& last = ring.entries[(ring.first + ring.count - 1) % ring.slots];
    at = last.offset + last.length;
  }
  if (at + length > ring.arenaSize) {
    // The tail stays empty until the ring comes round again.
    at = 0;
  }
  while (ring.count) {
    const Entry& oldest = ring.entries[ring.first];
    const bool overlaps = oldest.offset < at + length && at < oldest.offset + oldest.length;
    if (!overlaps) break;
    drop_oldest();
  }
  return at;
}

void say(char* message, size_t size, const char* text) {
  if (message && size) std::snprintf(message, size, "%s", text);
}

} // namespace

bool rewind_init(size_t entries, size_t arenaBytes) {
  rewind_shutdown();
  if (entries == 0) return false;
  ring.arena.reset(static_cast<uint8_t*>(std::malloc(arenaBytes)));
  ring.entries.reset(new (std::nothrow) Entry[entries]);
  if (!ring.arena || !ring.entries) {
    rewind_shutdown();
    return false;
  }
  ring.arenaSize = arenaBytes;
  ring.newest.reserve(kStateRoom);
  ring.fresh.reserve(kStateRoom);
  ring.scratch.resize(3 * kStateRoom);
  ring.slots = entries > 1 ? entries - 1 : 0;
  return true;
}

void rewind_shutdown() { ring = Ring{}; }

void rewind_clear() {
  if (ring.slots) drop_differences();
  ring.first = ring.count = ring.used = 0;
  ring.haveNewest = false;
  ring.newest.clear();
}

void rewind_push() {
  if (!ring.arena) return;
  machine_state_save(ring.fresh);
  if (ring.haveNewest && ring.slots) {
    const size_t length = encode(ring.newest, ring.fresh, ring.scratch);
    if (length > ring.arenaSize) {
      // Not even one difference fits: the history starts again here.
      drop_differences();
    } else {
      const size_t at = make_room(length);
      std::memcpy(ring.arena.get() + at, ring.scratch.data(), length);
      ring.entries[(ring.first + ring.count) % ring.slots] = {at, length};
      ++ring.count;
      ring.used += length;
    }
  }
  std::swap(ring.newest, ring.fresh);
  ring.haveNewest = true;
}

bool rewind_step_back(char* message, size_t messageSize) {
  if (!ring.haveNewest) {
    say(message, messageSize, "Nincs korábbi gépállapot.");
    return false;
  }
  if (!machine_state_load(ring.newest.data(), ring.newest.size(), message, messageSize)) {
    // A state of this program that it no longer reads: nothing behind it
    // can be reached either.
    rewind_clear();
    return false;
  }
  if (ring.count == 0) {
    ring.haveNewest = false;
    return true;
  }
  const size_t last = (ring.first + ring.count - 1) % ring.slots;
  const Entry e = ring.entries[last];
  --ring.count;
  ring.used -= e.length;
  if (ring.count == 0) ring.first = 0;
  if (!decode(ring.arena.get() + e.offset, e.length, ring.newest)) {
    // Cannot happen with differences this file wrote; the older ones
    // would be read against a wrong state.
    rewind_clear();
  }
  return true;
}

size_t rewind_count() { return ring.count + (ring.haveNewest ? 1 : 0); }

size_t rewind_bytes() { return ring.used + (ring.haveNewest ? ring.newest.size() : 0); }

size_t rewind_capacity_bytes() {
  return ring.arenaSize + ring.slots * sizeof(Entry) + ring.newest.capacity() +
         ring.fresh.capacity() + ring.scratch.capacity();
}
