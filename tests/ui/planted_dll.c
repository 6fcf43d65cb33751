// Planted beside the program under a system DLL's name: when loaded, it leaves the file
// "<its own path>.ran". Every export is this one stub (tests/ui/CMakeLists.txt).
#include <windows.h>

int PlantedStub(void) { return 0; }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  wchar_t path[MAX_PATH + 8] = {0};
  if (reason != DLL_PROCESS_ATTACH || !GetModuleFileNameW(module, path, MAX_PATH)) return TRUE;
  lstrcatW(path, L".ran");
  CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
  return TRUE;
}
