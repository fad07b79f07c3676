// Shared helpers of the media tests.
#include "tests/media/media_fixture.h"

#include <unistd.h>

#include "host/headless/headless.h"
#include "media/hooks.h"

std::string temp_path(const std::string& name) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string prefix = info ? std::string(info->test_suite_name()) + "_" + info->name() + "_" : "";
  std::string path =
      ::testing::TempDir() + "tarvik_media_" + std::to_string(getpid()) + "_" + prefix + name;
  std::remove(path.c_str());
  return path;
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  for (int c = std::getc(f); c != EOF; c = std::getc(f)) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return bytes;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  if (!bytes.empty()) { ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size()); }
  std::fclose(f);
}

bool file_exists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t o) {
  return static_cast<uint32_t>(b.at(o) | b.at(o + 1) << 8 | b.at(o + 2) << 16 |
                               static_cast<uint32_t>(b.at(o + 3)) << 24);
}
uint16_t le16(const std::vector<uint8_t>& b, size_t o) {
  return static_cast<uint16_t>(b.at(o) | b.at(o + 1) << 8);
}

void MediaTest::SetUp() {
  media_reset_state();
  headless_clear_dialog_answers();
  media_machine_reset(1);
}

void MediaTest::TearDown() {
  media_reset_state();
  headless_clear_dialog_answers();
  tape_traps_remove();
}
