// Machine states as bytes: a writer that appends to a caller's buffer and a
// reader over a byte span that fails cleanly at its end. Every module keeps
// its mutable state in records of its own; a record is a four-character
// tag, a version, a length and the module's fields, little-endian.
//
// A module provides one pair of plain functions per record:
//   void xxx_state_save(StateWriter& w);              // appends its fields
//   bool xxx_state_load(StateReader& r, bool apply);  // reads them back
// The load is called twice over the same bytes: first with apply false, to
// check every field (ranges, sizes) without changing anything, then with
// apply true to put the state in place. It returns false for a field out of
// range; the record must be read to its exact end (the caller checks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class StateWriter {
public:
  // Appends to `out` (its capacity is kept: once it holds a whole state,
  // writing the next one allocates nothing).
  explicit StateWriter(std::vector<uint8_t>& out) : out_(out) {}

  void u8(uint8_t v) { out_.push_back(v); }
  void u16(uint16_t v) { scalar(v, 2); }
  void u32(uint32_t v) { scalar(v, 4); }
  void u64(uint64_t v) { scalar(v, 8); }
  void i32(int32_t v) { scalar(static_cast<uint32_t>(v), 4); }
  void i64(int64_t v) { scalar(static_cast<uint64_t>(v), 8); }
  void f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u64(bits);
  }
  void bytes(const void* data, size_t size) {
    if (size == 0) return;
    const size_t at = out_.size();
    out_.resize(at + size);
    std::memcpy(out_.data() + at, data, size);
  }
  void u32s(const uint32_t* values, size_t count) {
    for (size_t i = 0; i < count; ++i) u32(values[i]);
  }
  // A zero-terminated text of at most `size` bytes (the terminator counted).
  void text(const char* value, size_t size);

  // A record: its header now, its length filled in by end_record.
  void begin_record(const char tag[4], uint16_t version);
  void end_record();

  std::vector<uint8_t>& buffer() { return out_; }

private:
  void scalar(uint64_t v, int count) {
    for (int i = 0; i < count; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  std::vector<uint8_t>& out_;
  size_t recordStart_ = 0;
};

class StateReader {
public:
  StateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Past the end every read gives 0 and the reader stays failed.
  uint8_t u8() { return static_cast<uint8_t>(scalar(1)); }
  uint16_t u16() { return static_cast<uint16_t>(scalar(2)); }
  uint32_t u32() { return static_cast<uint32_t>(scalar(4)); }
  uint64_t u64() { return scalar(8); }
  int32_t i32() { return static_cast<int32_t>(static_cast<uint32_t>(scalar(4))); }
  int64_t i64() { return static_cast<int64_t>(scalar(8)); }
  double f64() {
    const uint64_t bits = scalar(8);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  // The next `size` bytes in place; null (and failed) when fewer are left.
  const uint8_t* view(size_t size) {
    if (failed_ || size > size_ - pos_) {
      failed_ = true;
      return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += size;
    return p;
  }
  // Reads into `destination` only when `apply`; false when short.
  bool bytes(void* destination, size_t size, bool apply) {
    const uint8_t* p = view(size);
    if (p && apply && size) std::memcpy(destination, p, size);
    return p != nullptr;
  }
  bool u32s(uint32_t* values, size_t count, bool apply) {
    const uint8_t* p = view(4 * count);
    if (!p || !apply) return p != nullptr;
    for (size_t i = 0; i < count; ++i)
      values[i] = static_cast<uint32_t>(p[4 * i] | p[4 * i + 1] << 8 | p[4 * i + 2] << 16 |
                                        static_cast<uint32_t>(p[4 * i + 3]) << 24);
    return true;
  }
  // A text written by StateWriter::text: false when it is not terminated
  // within `size` bytes.
  bool text(char* destination, size_t size, bool apply);

  // Marks the reader failed (a field out of range); returns false.
  bool fail() {
    failed_ = true;
    return false;
  }
  bool ok() const { return !failed_; }
  bool at_end() const { return pos_ == size_; }
  size_t left() const { return size_ - pos_; }
  size_t position() const { return pos_; }
  // The version of the record being read (its loader may know older
  // layouts than the one it writes).
  uint16_t version() const { return version_; }
  void set_version(uint16_t version) { version_ = version; }

private:
  uint64_t scalar(int count) {
    const uint8_t* p = view(static_cast<size_t>(count));
    if (!p) return 0;
    uint64_t v = 0;
    for (int i = 0; i < count; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
    return v;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
  uint16_t version_ = 0;
};

// The largest cycle count a record may hold (about twelve years at 3 MHz):
// far from where sums of cycle counts overflow.
inline constexpr int64_t kStateMostTicks = int64_t{1} << 50;

inline constexpr size_t kStateRecordHeader = 10; // tag, version (16 bits), length (32 bits)

// One kind of record and the functions of its owner.
struct StateRecordType {
  char tag[5];
  uint16_t version;
  void (*save)(StateWriter& w);
  bool (*load)(StateReader& r, bool apply);
};

// Appends one record of each type, in the order given.
void state_write_records(StateWriter& w, const StateRecordType* types, size_t count);
// Reads the records in the order given, each of its type's tag and version
// and read to its exact length, and nothing after the last. With apply
// false nothing changes. False with a message naming the first fault.
bool state_read_records(StateReader& r, const StateRecordType* types, size_t count, bool apply,
                        char* message, size_t messageSize);

// CRC-32 (the polynomial of zip and PNG), continued from `crc` (0 to start).
uint32_t state_crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
