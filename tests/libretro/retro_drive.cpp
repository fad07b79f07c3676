// A small libretro front end for the core's tests, where RetroArch cannot be driven without a
// user: it loads the core, sets core options, runs frames, presses gamepad buttons and keys,
// saves and loads states, and writes the last picture as a PPM file.
//   retro_drive CORE CONTENT|- PICTURE.ppm ACTION...
// Actions, in order: opt:KEY=VALUE (an option; after the start it counts as changed),
// frames:N, pad:ID:0|1 (a RetroPad button, seen at the next poll), key:CODE:CHAR:0|1 (the
// keyboard callback), save, load (the state saved last), garbage (a state that is none: it
// must be refused), timed:N (N frames, and the mean time of a retro_run printed: a
// measurement, never a test).
#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct GameInfo {
  const char* path;
  const void* data;
  size_t size;
  const char* meta;
};
struct Variable {
  const char* key;
  const char* value;
};
using KeyboardEvent = void (*)(bool, unsigned, uint32_t, uint16_t);

std::map<std::string, std::string> options;
bool optionsChanged;
KeyboardEvent keyboard;
int16_t pad[16];
std::vector<uint32_t> picture;
unsigned width, height;
size_t audioPairs;
bool timing; // the picture is not copied while retro_run is timed
int16_t loudest;

bool environment(unsigned cmd, void* data) {
  switch (cmd) {
  case 10: return *static_cast<int*>(data) == 1; // 0RGB 8888 only
  case 12: keyboard = *static_cast<KeyboardEvent*>(data); return true;
  case 15: {
    Variable* v = static_cast<Variable*>(data);
    auto found = options.find(v->key);
    v->value = found == options.end() ? nullptr : found->second.c_str();
    return v->value != nullptr;
  }
  case 17:
    *static_cast<bool*>(data) = optionsChanged;
    optionsChanged = false;
    return true;
  case 11:
  case 16:
  case 18: return true;
  default: return false;
  }
}
void video(const void* data, unsigned w, unsigned h, size_t pitch) {
  if (!data || timing) return;
  width = w;
  height = h;
  picture.resize(size_t{w} * h);
  for (unsigned y = 0; y < h; ++y)
    std::memcpy(&picture[size_t{y} * w], static_cast<const uint8_t*>(data) + y * pitch, w * 4);
}
size_t audio(const int16_t* samples, size_t pairs) {
  audioPairs += pairs;
  for (size_t i = 0; i < 2 * pairs; ++i) {
    int16_t v = samples[i] < 0 ? static_cast<int16_t>(-(samples[i] + 1)) : samples[i];
    if (v > loudest) loudest = v;
  }
  return pairs;
}
void poll() {}
int16_t input(unsigned port, unsigned device, unsigned, unsigned id) {
  return port == 0 && device == 1 && id < 16 ? pad[id] : 0;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "retro_drive: %s\n", what);
  std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 4) fail("usage: retro_drive CORE CONTENT|- PICTURE.ppm ACTION...");
  void* core = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!core) fail(dlerror());
  auto get = [core](const char* name) {
    void* f = dlsym(core, name);
    if (!f) fail(name);
    return f;
  };
  int first = 4;
  for (; first < argc && std::strncmp(argv[first], "opt:", 4) == 0; ++first) {
    std::string o = argv[first] + 4;
    size_t eq = o.find('=');
    options[o.substr(0, eq)] = o.substr(eq + 1);
  }
  reinterpret_cast<void (*)(bool (*)(unsigned, void*))>(get("retro_set_environment"))(environment);
  reinterpret_cast<void (*)(void (*)(const void*, unsigned, unsigned, size_t))>(
      get("retro_set_video_refresh"))(video);
  reinterpret_cast<void (*)(size_t(*)(const int16_t*, size_t))>(
      get("retro_set_audio_sample_batch"))(audio);
  reinterpret_cast<void (*)(void (*)())>(get("retro_set_input_poll"))(poll);
  reinterpret_cast<void (*)(int16_t(*)(unsigned, unsigned, unsigned, unsigned))>(
      get("retro_set_input_state"))(input);
  reinterpret_cast<void (*)()>(get("retro_init"))();
  GameInfo game = {argv[2], nullptr, 0, nullptr};
  bool noContent = std::strcmp(argv[2], "-") == 0;
  if (!reinterpret_cast<bool (*)(const GameInfo*)>(get("retro_load_game"))(noContent ? nullptr
                                                                                     : &game))
    fail("the content did not load");
  auto run = reinterpret_cast<void (*)()>(get("retro_run"));
  auto stateSize = reinterpret_cast<size_t (*)()>(get("retro_serialize_size"));
  auto save = reinterpret_cast<bool (*)(void*, size_t)>(get("retro_serialize"));
  auto load = reinterpret_cast<bool (*)(const void*, size_t)>(get("retro_unserialize"));
  const size_t fixedSize = stateSize();
  std::vector<uint8_t> state;
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("opt:", 0) == 0) {
      size_t eq = a.find('=');
      options[a.substr(4, eq - 4)] = a.substr(eq + 1);
      optionsChanged = true;
    } else if (a.rfind("frames:", 0) == 0) {
      for (int n = std::atoi(a.c_str() + 7); n > 0; --n) run();
    } else if (a.rfind("timed:", 0) == 0) {
      const int n = std::atoi(a.c_str() + 6);
      timing = true;
      const auto start = std::chrono::steady_clock::now();
      for (int k = 0; k < n; ++k) run();
      timing = false;
      const std::chrono::duration<double, std::micro> spent =
          std::chrono::steady_clock::now() - start;
      std::printf("retro_run: %.1f us a frame over %d frames\n", n > 0 ? spent.count() / n : 0.0,
                  n);
    } else if (a.rfind("pad:", 0) == 0) {
      unsigned id = 0, down = 0;
      std::sscanf(a.c_str() + 4, "%u:%u", &id, &down);
      if (id < 16) pad[id] = static_cast<int16_t>(down);
    } else if (a.rfind("key:", 0) == 0) {
      unsigned code = 0, character = 0, down = 0;
      std::sscanf(a.c_str() + 4, "%u:%u:%u", &code, &character, &down);
      if (!keyboard) fail("the core gave no keyboard callback");
      keyboard(down != 0, code, character, 0);
    } else if (a == "save") {
      if (stateSize() != fixedSize) fail("the state size changed");
      state.assign(fixedSize, 0xEE);
      if (!save(state.data(), state.size())) fail("the state was not saved");
    } else if (a == "load") {
      if (!load(state.data(), state.size())) fail("the state was not loaded");
    } else if (a == "garbage") {
      std::vector<uint8_t> junk(fixedSize, 0x5A);
      if (load(junk.data(), junk.size())) fail("a state that is none was loaded");
      std::puts("garbage refused");
    } else {
      fail(("unknown action " + a).c_str());
    }
  }
  std::printf("state size %zu\naudio pairs %zu loudest %d\n", fixedSize, audioPairs, loudest);
  std::FILE* out = std::fopen(argv[3], "wb");
  if (!out) fail("cannot write the picture");
  std::fprintf(out, "P6\n%u %u\n255\n", width, height);
  for (uint32_t p : picture) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                  static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, out);
  }
  std::fclose(out);
  reinterpret_cast<void (*)()>(get("retro_deinit"))();
  return 0;
}
