// The record framing of machine states and their checksum.
#include "cpu/state_io.h"

#include <bit>
#include <cstdio>

void StateWriter::text(const char* value, size_t size) {
  size_t length = 0;
  while (length + 1 < size && value[length]) ++length;
  u16(static_cast<uint16_t>(length));
  bytes(value, length);
}

bool StateReader::text(char* destination, size_t size, bool apply) {
  const uint16_t length = u16();
  const uint8_t* p = view(length);
  if (!p) return false;
  if (length >= size || std::memchr(p, 0, length)) return fail();
  if (apply) {
    std::memcpy(destination, p, length);
    destination[length] = '\0';
  }
  return true;
}

void StateWriter::begin_record(const char tag[4], uint16_t version) {
  recordStart_ = out_.size();
  bytes(tag, 4);
  u16(version);
  u32(0);
}

void StateWriter::end_record() {
  const size_t length = out_.size() - recordStart_ - kStateRecordHeader;
  for (int i = 0; i < 4; ++i)
    out_[recordStart_ + 6 + i] = static_cast<uint8_t>(static_cast<uint32_t>(length) >> (8 * i));
}

void state_write_records(StateWriter& w, const StateRecordType* types, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    w.begin_record(types[i].tag, types[i].version);
    types[i].save(w);
    w.end_record();
  }
}

bool state_read_records(StateReader& r, const StateRecordType* types, size_t count, bool apply,
                        char* message, size_t messageSize) {
  for (size_t i = 0; i < count; ++i) {
    const StateRecordType& type = types[i];
    const uint8_t* tag = r.view(4);
    const uint16_t version = r.u16();
    const uint32_t length = r.u32();
    const uint8_t* body = r.view(length);
    if (!tag || !body) {
      std::snprintf(message, messageSize, "A gépállapot csonka: a(z) %s rekord hiányzik.",
                    type.tag);
      return false;
    }
    if (std::memcmp(tag, type.tag, 4) != 0) {
      std::snprintf(message, messageSize, "A gépállapot hibás: a(z) %s rekord helyén más áll.",
                    type.tag);
      return false;
    }
    // An older version goes to the loader, which reads its layout.
    if (version == 0 || version > type.version) {
      std::snprintf(message, messageSize,
                    "A gépállapot %s rekordja %u. változatú; ez a program a %u. változatot "
                    "olvassa.",
                    type.tag, version, type.version);
      return false;
    }
    StateReader record(body, length);
    record.set_version(version);
    if (!type.load(record, apply) || !record.ok() || !record.at_end()) {
      std::snprintf(message, messageSize, "A gépállapot %s rekordja hibás.", type.tag);
      return false;
    }
  }
  if (!r.at_end()) {
    std::snprintf(message, messageSize, "A gépállapot hibás: az utolsó rekord után adat áll.");
    return false;
  }
  return true;
}

namespace {

// Eight tables: entry[k][b] is the CRC of byte b followed by k zero bytes,
// so that eight bytes are folded in per step.
struct CrcTables {
  uint32_t entry[8][256];
};

constexpr CrcTables make_crc_tables() {
  CrcTables t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t.entry[0][n] = c;
  }
  for (uint32_t n = 0; n < 256; ++n)
    for (int k = 1; k < 8; ++k)
      t.entry[k][n] = (t.entry[k - 1][n] >> 8) ^ t.entry[0][t.entry[k - 1][n] & 0xFF];
  return t;
}
constexpr CrcTables kCrc = make_crc_tables();

} // namespace

// The loop has nothing for a fuzzer's coverage to find, and instrumented it
// takes most of a fuzz run's time: clang leaves it alone.
#if defined(__clang__)
#define STATE_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define STATE_NO_COVERAGE
#endif

STATE_NO_COVERAGE uint32_t state_crc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  const auto& t = kCrc.entry;
  for (; size >= 8; data += 8, size -= 8) {
    // Eight bytes in one read (one check under the address sanitizer).
    uint64_t word;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&word, data, 8);
    } else {
      word = 0;
      for (int k = 0; k < 8; ++k) word |= static_cast<uint64_t>(data[k]) << (8 * k);
    }
    const uint32_t low = crc ^ static_cast<uint32_t>(word);
    const uint32_t high = static_cast<uint32_t>(word >> 32);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^
          t[0][high >> 24];
  }
  for (; size > 0; ++data, --size) crc = t[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
  return ~crc;
}
