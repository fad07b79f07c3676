// The two hexadecimal address fields of the ROM/BIN load and the memory
// save, split at the first line end.
#include <cstdint>
#include <string>

#include "media/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t cut = text.find('\n');
  std::string first = text.substr(0, cut);
  std::string second = cut == std::string::npos ? std::string() : text.substr(cut + 1);
  uint32_t start = 0, count = 0, value = 0;
  parse_address_range(first.c_str(), second.c_str(), &start, &count);
  if (parse_address_field(first.c_str(), &value) && value > 0xFFFF) __builtin_trap();
  return 0;
}
