// The clipboard in plain code page 1250 text (CF_TEXT).
#include <cstring>

#include "host/platform.h"
#include "host/win32/win32.h"

namespace {

bool isOpen;
HGLOBAL lockedBlock;

void unlock() {
  if (lockedBlock) GlobalUnlock(lockedBlock);
  lockedBlock = nullptr;
}

} // namespace

bool platform_clipboard_open() {
  isOpen = OpenClipboard(mainWindow) != 0;
  return isOpen;
}

void platform_clipboard_close() {
  if (!isOpen) return;
  unlock();
  CloseClipboard();
  isOpen = false;
}

bool platform_clipboard_set_text(const char* text, size_t length) {
  if (!isOpen) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length);
  if (!block) return false;
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(p, text, length);
  GlobalUnlock(block);
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

const char* platform_clipboard_text() {
  if (!isOpen || !IsClipboardFormatAvailable(CF_TEXT)) return nullptr;
  unlock();
  HGLOBAL block = GetClipboardData(CF_TEXT);
  if (!block) return nullptr;
  const char* text = static_cast<const char*>(GlobalLock(block));
  if (!text) return nullptr;
  // A text without its terminator inside the block is not taken.
  if (!std::memchr(text, 0, GlobalSize(block))) {
    GlobalUnlock(block);
    return nullptr;
  }
  lockedBlock = block;
  return text;
}
