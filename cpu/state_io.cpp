// The record framing of machine states and their checksum.
#include "cpu/state_io.h"

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
    if (version != type.version) {
      std::snprintf(message, messageSize,
                    "A gépállapot %s rekordja %u. változatú; ez a program a %u. változatot "
                    "olvassa.",
                    type.tag, version, type.version);
      return false;
    }
    StateReader record(body, length);
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

struct CrcTable {
  uint32_t entry[256];
};

constexpr CrcTable make_crc_table() {
  CrcTable t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t.entry[n] = c;
  }
  return t;
}
constexpr CrcTable kCrc = make_crc_table();

} // namespace

uint32_t state_crc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = kCrc.entry[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}
