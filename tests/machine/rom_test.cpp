// Replacing built-in ROM images by files from a "roms" folder.
#include <filesystem>
#include <fstream>
#include <vector>

#include "machine/rom.h"
#include "machine/video.h"
#include "machine_fixture.h"

namespace {

class RomFolder : public MachineTest {
protected:
  void SetUp() override {
    // Test cases may run in parallel processes: each gets its own folder.
    dir = std::filesystem::path(::testing::TempDir()) /
          ("tarvik_roms_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
           std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    rom_use_builtin();
    std::filesystem::remove_all(dir);
    MachineTest::TearDown();
  }
  void write(const char* name, size_t size, uint8_t fill) {
    std::vector<char> bytes(size, static_cast<char>(fill));
    std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<long>(size));
  }
  std::filesystem::path dir;
};

TEST_F(RomFolder, RightSizeReplacesWrongSizeIsIgnored) {
  write("tarvik41.rom", 16384, 0xAB);
  write("tarvik31.rom", 16000, 0xCD);
  write("tarvik.chr", 2048, 0x3C);
  const uint8_t builtin31 = rom_image(ROM_TARVIK31)[0];
  int rejected = -1;
  EXPECT_EQ(rom_load_folder(dir.string().c_str(), &rejected), 2);
  EXPECT_EQ(rejected, 1);
  EXPECT_EQ(rom_image(ROM_TARVIK31)[0], builtin31);
  bring_up(MODEL_TARVIK41);
  EXPECT_EQ(memory[0x0000], 0xAB);
  EXPECT_EQ(memory[0x3FFF], 0xAB);
  EXPECT_EQ(currentCharset[0], 0x3C);
  EXPECT_EQ(userCharset[2047], 0x3C);
  rom_use_builtin();
  bring_up(MODEL_TARVIK41);
  EXPECT_EQ(memory[0x0000], 0xF3);
}

TEST_F(RomFolder, VeltraImageKeepsTheDataAfterIt) {
  write("veltra16.rom", 8192, 0x11);
  write("veltra16.chr", 2047, 0x22);
  int rejected = -1;
  EXPECT_EQ(rom_load_folder(dir.string().c_str(), &rejected), 1);
  EXPECT_EQ(rejected, 1);
  bring_up(MODEL_VELTRA16);
  EXPECT_EQ(memory[0x0000], 0x11);
  EXPECT_EQ(memory[0x1FFF], 0x11);
  EXPECT_EQ(memory[0x2000], rom_image(ROM_VELTRA16)[0x2000]);
  EXPECT_EQ(memory[0x2000], 0x00);
}

TEST_F(RomFolder, MissingFolderChangesNothing) {
  int rejected = -1;
  EXPECT_EQ(rom_load_folder((dir / "absent").string().c_str(), &rejected), 0);
  EXPECT_EQ(rejected, 0);
  EXPECT_EQ(rom_load_folder(nullptr, nullptr), 0);
  bring_up(MODEL_TARVIK31);
  EXPECT_EQ(memory[0x0000], 0xF3);
}

} // namespace
