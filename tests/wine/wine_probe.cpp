// wine-probe.exe: a small Windows console program with which the tests of the Wine harness check
// what a program run under it sees. It prints every argument as "argN=VALUE" and the current
// directory as "cwd=DIR", then acts on the arguments in order:
//   env:NAME   prints "NAME=VALUE", or "NAME unset"
//   err:TEXT   writes TEXT and a line end to standard error
//   sleep:MS   waits MS milliseconds
//   stdin      reads one line from standard input and prints it as "stdin=LINE"
//   window     creates, shows and destroys a top-level window; prints "window=created", or
//              "window=failed" and ends with exit status 4 when there is no display
//   exit:N     ends with exit status N once everything else is done
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool starts_with(const char* text, const char* prefix, const char** rest) {
  std::size_t n = std::strlen(prefix);
  if (std::strncmp(text, prefix, n) != 0) return false;
  *rest = text + n;
  return true;
}

bool show_window() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "TarvikWineProbe";
  if (RegisterClassA(&wc) == 0) return false;
  HWND window =
      CreateWindowExA(0, wc.lpszClassName, "wine-probe", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return false;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  bool visible = IsWindowVisible(window) != 0;
  DestroyWindow(window);
  return visible;
}

} // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) std::printf("arg%d=%s\n", i, argv[i]);
  char cwd[MAX_PATH + 1] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::printf("cwd=%s\n", cwd);

  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const char* rest = nullptr;
    if (starts_with(argv[i], "env:", &rest)) {
      const char* value = std::getenv(rest);
      if (value != nullptr) {
        std::printf("%s=%s\n", rest, value);
      } else {
        std::printf("%s unset\n", rest);
      }
    } else if (starts_with(argv[i], "err:", &rest)) {
      std::fprintf(stderr, "%s\n", rest);
    } else if (starts_with(argv[i], "sleep:", &rest)) {
      std::fflush(stdout);
      Sleep(static_cast<DWORD>(std::strtoul(rest, nullptr, 10)));
    } else if (std::strcmp(argv[i], "stdin") == 0) {
      char line[256] = "";
      if (std::fgets(line, sizeof line, stdin) == nullptr) line[0] = '\0';
      line[std::strcspn(line, "\r\n")] = '\0';
      std::printf("stdin=%s\n", line);
    } else if (std::strcmp(argv[i], "window") == 0) {
      bool shown = show_window();
      std::printf("window=%s\n", shown ? "created" : "failed");
      if (!shown) status = 4;
    } else if (starts_with(argv[i], "exit:", &rest)) {
      if (status == 0) status = std::atoi(rest);
    }
  }
  std::fflush(stdout);
  return status;
}
