// Modal message box: disables the calling thread's other visible windows while the box is up.
#include "message.h"

#include "layer.h"

namespace {

MessageBoxRoutine messageBoxRoutine = MessageBoxA;

struct DisabledWindow {
  HWND window;
  DWORD thread;
  DisabledWindow* next;
};

DisabledWindow* disabledWindows;

HANDLE ListHeap() { return screenLayer.objectHeap ? screenLayer.objectHeap : GetProcessHeap(); }

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM) {
  DWORD thread = GetCurrentThreadId();
  if (GetWindowThreadProcessId(window, nullptr) != thread || !IsWindowVisible(window) ||
      !IsWindowEnabled(window) || window == GetForegroundWindow()) {
    return TRUE;
  }
  auto* node = static_cast<DisabledWindow*>(HeapAlloc(ListHeap(), 0, sizeof(DisabledWindow)));
  if (!node) return TRUE;  // not recorded means not disabled, so nothing stays disabled
  EnableWindow(window, FALSE);
  *node = DisabledWindow{window, thread, disabledWindows};
  disabledWindows = node;
  return TRUE;
}

void EnableThreadWindows() {
  DWORD thread = GetCurrentThreadId();
  DisabledWindow** link = &disabledWindows;
  while (*link) {
    DisabledWindow* node = *link;
    if (node->thread != thread) {
      link = &node->next;
      continue;
    }
    EnableWindow(node->window, TRUE);
    *link = node->next;
    HeapFree(ListHeap(), 0, node);
  }
}

}  // namespace

void SetMessageBoxRoutine(MessageBoxRoutine routine) {
  messageBoxRoutine = routine ? routine : MessageBoxA;
}

int ShowMessage(const char* caption, const char* text, UINT flags) {
  EnumWindows(DisableOtherWindow, 0);
  HWND owner = GetForegroundWindow();
  DWORD ownerProcess = 0;
  if (owner) GetWindowThreadProcessId(owner, &ownerProcess);
  if (ownerProcess != GetCurrentProcessId()) owner = nullptr;
  int result = messageBoxRoutine(owner, text, caption, flags);
  EnableThreadWindows();
  return result;
}
