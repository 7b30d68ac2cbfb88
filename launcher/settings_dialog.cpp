// The launcher dialog: resolution list from the display's modes, colour depth, full-screen box.
#include "settings_dialog.h"

#include <vector>

#include "launcher_ids.h"
#include "mode_list.h"

namespace {

const int kDepths[2] = {16, 32};
const int kDefaultDepthIndex = 1;

struct DialogState {
  std::string status;
  std::vector<DisplayMode> modes;
  DisplaySettings chosen;
};

std::vector<DisplayMode> DisplayModes() {
  std::vector<DisplayMode> modes;
  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  for (DWORD i = 0; i < 4096 && EnumDisplaySettingsW(nullptr, i, &mode); ++i)
    AddMode(modes, {static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight)});
  if (modes.empty()) AddMode(modes, {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  if (modes.empty()) AddMode(modes, {800, 600});
  return modes;
}

void FillControls(HWND dialog, const DialogState& state) {
  for (std::size_t i = 0; i < state.modes.size(); ++i) {
    const std::wstring text =
        std::to_wstring(state.modes[i].width) + L" x " + std::to_wstring(state.modes[i].height);
    SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_SETCURSEL, DefaultModeIndex(state.modes), 0);
  for (int depth : kDepths) {
    const std::wstring text = std::to_wstring(depth) + L" bits";
    SendDlgItemMessageW(dialog, IDC_DEPTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendDlgItemMessageW(dialog, IDC_DEPTH, CB_SETCURSEL, kDefaultDepthIndex, 0);
  CheckDlgButton(dialog, IDC_FULLSCREEN, BST_UNCHECKED);
  SetDlgItemTextA(dialog, IDC_STATUS, state.status.c_str());
}

// The choice the controls show; fullscreen from the check box.
DisplaySettings ReadControls(HWND dialog, const DialogState& state) {
  LRESULT mode = SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
  if (mode < 0 || static_cast<std::size_t>(mode) >= state.modes.size())
    mode = static_cast<LRESULT>(DefaultModeIndex(state.modes));
  LRESULT depth = SendDlgItemMessageW(dialog, IDC_DEPTH, CB_GETCURSEL, 0, 0);
  if (depth < 0 || depth > 1) depth = kDefaultDepthIndex;
  const bool full = IsDlgButtonChecked(dialog, IDC_FULLSCREEN) == BST_CHECKED;
  return {state.modes[mode].width, state.modes[mode].height, kDepths[depth], full ? 1 : 2};
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillControls(dialog, *reinterpret_cast<DialogState*>(lParam));
      SetForegroundWindow(dialog);
      return TRUE;
    case WM_COMMAND:
      if (!state || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
      state->chosen = ReadControls(dialog, *state);
      if (LOWORD(wParam) == IDCANCEL) state->chosen.fullscreen = -1;
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      // The close button cancels, like the Cancel button.
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
  }
  return FALSE;
}

// The activation context of this DLL's own manifest (Common Controls 6), active while the dialog
// runs: a host program without such a manifest would otherwise give the dialog the old controls.
struct OwnManifest {
  HANDLE context;
  ULONG_PTR cookie;
};

OwnManifest ActivateOwnManifest(HMODULE module) {
  OwnManifest own = {INVALID_HANDLE_VALUE, 0};
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return own;
  ACTCTXW request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path;
  request.hModule = module;
  request.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
  own.context = CreateActCtxW(&request);
  if (own.context != INVALID_HANDLE_VALUE && !ActivateActCtx(own.context, &own.cookie)) {
    ReleaseActCtx(own.context);
    own.context = INVALID_HANDLE_VALUE;
  }
  return own;
}

void DeactivateOwnManifest(const OwnManifest& own) {
  if (own.context == INVALID_HANDLE_VALUE) return;
  DeactivateActCtx(0, own.cookie);
  ReleaseActCtx(own.context);
}

}  // namespace

bool RunSettingsDialog(HMODULE module, const std::string& status, DisplaySettings* out) {
  DialogState state = {status, DisplayModes(), {0, 0, 0, -1}};
  const OwnManifest own = ActivateOwnManifest(module);
  const INT_PTR answer = DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                         DialogProc, reinterpret_cast<LPARAM>(&state));
  DeactivateOwnManifest(own);
  if (answer != IDOK && answer != IDCANCEL) return false;
  *out = state.chosen;
  return true;
}
