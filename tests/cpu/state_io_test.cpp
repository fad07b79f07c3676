// The record framing and checksum under the machine states.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cpu/state_io.h"

TEST(StateIo, CrcIsTheZipCrcInOneGoOrInPiecesOfAnyLength) {
  const char* check = "123456789";
  EXPECT_EQ(state_crc32(reinterpret_cast<const uint8_t*>(check), 9), 0xCBF43926u);
  std::vector<uint8_t> bytes(1000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + (i >> 3));
  // The bytewise definition, one byte at a time.
  uint32_t expected = 0;
  for (uint8_t b : bytes) expected = state_crc32(&b, 1, expected);
  EXPECT_EQ(state_crc32(bytes.data(), bytes.size()), expected);
  for (size_t cut : {size_t{1}, size_t{7}, size_t{8}, size_t{13}, size_t{999}})
    EXPECT_EQ(state_crc32(bytes.data() + cut, bytes.size() - cut, state_crc32(bytes.data(), cut)),
              expected)
        << cut;
}

namespace {
uint32_t field;
void save_field(StateWriter& w) {
  w.u32(field);
  w.text("szalag", 16);
}
bool load_field(StateReader& r, bool apply) {
  const uint32_t v = r.u32();
  char name[16];
  if (!r.text(name, sizeof name, apply) || v > 1000) return r.fail();
  if (apply) field = v;
  return true;
}
const StateRecordType kTypes[] = {{"TEST", 3, save_field, load_field}};
} // namespace

TEST(StateIo, RecordsReadBackAndAShortOrLongRecordIsRefused) {
  std::vector<uint8_t> out;
  out.reserve(64); // as a machine state's buffer is kept
  StateWriter w(out);
  field = 77;
  state_write_records(w, kTypes, 1);
  ASSERT_EQ(out.size(), kStateRecordHeader + 4 + 2 + 6);
  field = 0;
  char message[200];
  StateReader r(out.data(), out.size());
  ASSERT_TRUE(state_read_records(r, kTypes, 1, true, message, sizeof message)) << message;
  EXPECT_EQ(field, 77u);

  // Every cut and one byte too many fail the checking pass, with a message.
  for (size_t size = 0; size <= out.size() + 1; ++size) {
    if (size == out.size()) continue;
    std::vector<uint8_t> s = out;
    s.resize(size);
    if (size > out.size()) s[6] = static_cast<uint8_t>(s[6] + 1); // the length grows too
    message[0] = '\0';
    StateReader cut(s.data(), s.size());
    EXPECT_FALSE(state_read_records(cut, kTypes, 1, false, message, sizeof message)) << size;
    EXPECT_NE(message[0], '\0');
  }
  // A field out of range, and another version.
  std::vector<uint8_t> big = out;
  big[kStateRecordHeader + 1] = 0xFF;
  StateReader bad(big.data(), big.size());
  EXPECT_FALSE(state_read_records(bad, kTypes, 1, false, message, sizeof message));
  EXPECT_NE(std::strstr(message, "TEST rekordja hib"), nullptr) << message;
  std::vector<uint8_t> other = out;
  other[4] = 4;
  StateReader version(other.data(), other.size());
  EXPECT_FALSE(state_read_records(version, kTypes, 1, false, message, sizeof message));
  EXPECT_NE(std::strstr(message, "4."), nullptr) << message;
}
