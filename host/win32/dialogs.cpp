// The common file dialogs: the kinds of host/ui/file_dialogs.h with their
// titles, filters and default extensions, the overwrite prompt of the save
// dialogs, and the address panel (template 121) whose two fields are filled
// before the dialog opens and read back when it closes.
#include <windows.h> // before the other Windows headers, which need it

#include <commdlg.h>

#include <cstring>

#include "host/platform.h"
#include "host/ui/file_dialogs.h"
#include "host/win32/resource_ids.h"
#include "host/win32/win32.h"

namespace {

// "description\0pattern\0...\0" in code page 1250.
std::string filter_text(const FileDialogKind* kind) {
  std::string text;
  for (int i = 0; i < kind->filterCount; ++i) {
    text += to_ansi(kind->filters[i].description);
    text += '\0';
    text += to_ansi(kind->filters[i].pattern);
    text += '\0';
  }
  text += '\0';
  return text;
}

// The extension without its dot, as the dialog wants it.
const char* bare(const char* extension) {
  if (!extension) return nullptr;
  return *extension == '.' ? extension + 1 : extension;
}

struct HookData {
  const FileDialogKind* kind;
  AddressPanel* panel;
};

UINT_PTR CALLBACK address_panel_hook(HWND panel, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const OPENFILENAMEA* ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
    SetWindowLongPtrA(panel, GWLP_USERDATA, static_cast<LONG_PTR>(ofn->lCustData));
    const HookData* data = reinterpret_cast<const HookData*>(ofn->lCustData);
    SendDlgItemMessageA(panel, IDC_ADDRESS_START, EM_LIMITTEXT, 5, 0);
    SendDlgItemMessageA(panel, IDC_ADDRESS_END, EM_LIMITTEXT, 5, 0);
    SetDlgItemTextA(panel, IDC_ADDRESS_START, data->panel->start);
    SetDlgItemTextA(panel, IDC_ADDRESS_END, data->panel->end);
    return TRUE;
  }
  if (message != WM_NOTIFY) return FALSE;
  const HookData* data = reinterpret_cast<const HookData*>(GetWindowLongPtrA(panel, GWLP_USERDATA));
  if (!data) return FALSE;
  const OFNOTIFYA* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
  if (notify->hdr.code == CDN_FILEOK) {
    // Up to five characters of each field go back.
    GetDlgItemTextA(panel, IDC_ADDRESS_START, data->panel->start, sizeof data->panel->start);
    GetDlgItemTextA(panel, IDC_ADDRESS_END, data->panel->end, sizeof data->panel->end);
  } else if (notify->hdr.code == CDN_TYPECHANGE && data->kind->otherExtension) {
    // The default extension follows the filter: the first one's, else the other.
    const char* ext =
        notify->lpOFN->nFilterIndex > 1 ? data->kind->otherExtension : data->kind->defaultExtension;
    SendMessageA(GetParent(panel), CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(bare(ext)));
  }
  return FALSE;
}

} // namespace

bool platform_file_dialog(const FileDialogKind* kind, char* name, size_t size,
                          AddressPanel* panel) {
  if (!kind || size == 0) return false;
  std::string filters = kind->filterCount ? filter_text(kind) : std::string();
  std::string titleText = to_ansi(kind->title);
  HookData data = {kind, panel};
  OPENFILENAMEA ofn;
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = mainWindow;
  ofn.hInstance = winInstance;
  ofn.lpstrFilter = kind->filterCount ? filters.c_str() : nullptr;
  ofn.nFilterIndex = panel && panel->filterIndex ? panel->filterIndex : 1;
  ofn.lpstrFile = name;
  ofn.nMaxFile = static_cast<DWORD>(size);
  ofn.lpstrTitle = kind->title ? titleText.c_str() : nullptr;
  ofn.Flags = kind->classicLook ? 0 : OFN_EXPLORER | OFN_HIDEREADONLY;
  if (kind->save) ofn.Flags |= OFN_OVERWRITEPROMPT;
  const char* extension = kind->defaultExtension;
  if (kind->otherExtension && ofn.nFilterIndex > 1) extension = kind->otherExtension;
  ofn.lpstrDefExt = bare(extension);
  if (kind->addressPanel && panel) {
    ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_ADDRESS_PANEL);
    ofn.lpfnHook = address_panel_hook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&data);
  }
  BOOL chosen = kind->save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return false;
  if (panel) panel->filterIndex = ofn.nFilterIndex;
  // A name typed without any "." gets the kind's extension.
  const char* missing = file_dialog_extension_for(kind, name, ofn.nFilterIndex);
  if (missing && std::strlen(name) + std::strlen(missing) < size) std::strcat(name, missing);
  return true;
}

bool platform_save_file_dialog(const char* title, const char* filter, const char* defaultExtension,
                               char* path, size_t pathSize) {
  if (pathSize == 0) return false;
  path[0] = '\0';
  // The filter's pairs, each zero-terminated, end with an empty string.
  std::string filters;
  for (const char* p = filter; p && *p; p += std::strlen(p) + 1) {
    filters += to_ansi(p);
    filters += '\0';
  }
  filters += '\0';
  std::string titleText = to_ansi(title);
  OPENFILENAMEA ofn;
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = mainWindow;
  ofn.lpstrFilter = filters.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = static_cast<DWORD>(pathSize);
  ofn.lpstrTitle = titleText.c_str();
  ofn.lpstrDefExt = defaultExtension;
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&ofn)) {
    path[0] = '\0';
    return false;
  }
  return file_name_add_extension(path, pathSize, defaultExtension);
}
