// The second baseline of startup_bench: the least a reader does to show a chapter, with
// the viewer's manifest (visual styles, DPI awareness). One window where the viewer's
// opens, a list box of 200 rows, and a rich-edit control showing one small RTF chapter.
#include <windows.h>
#include <richedit.h>

#include <string>

namespace {

constexpr int kRows = 200;
HWND list = nullptr, text = nullptr;

void Layout(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const int listWidth = client.right / 6;
  MoveWindow(list, 0, 0, listWidth, client.bottom, TRUE);
  MoveWindow(text, listWidth + 4, 0, client.right - listWidth - 4, client.bottom, TRUE);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: if (text) Layout(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!LoadLibraryW(L"Msftedit.dll")) return 1;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = FloorProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_MENU);
  windowClass.lpszClassName = L"ReaderFloor";
  RegisterClassW(&windowClass);
  // Where the viewer's window opens without settings: the right half of the screen.
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const HWND window = CreateWindowW(L"ReaderFloor", L"Reader floor", WS_OVERLAPPEDWINDOW, w / 2 - 20, 0,
                                    w / 2 + 20, h, nullptr, nullptr, instance, nullptr);
  list = CreateWindowW(L"LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                       0, 0, 0, 0, window, nullptr, instance, nullptr);
  for (int row = 1; row <= kRows; ++row)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((std::to_wstring(row) + L" Chapter").c_str()));
  text = CreateWindowW(MSFTEDIT_CLASS, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0,
                       0, 0, window, nullptr, instance, nullptr);
  Layout(window);
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  SendMessageW(text, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>("{\\rtf1\\ansi Chapter 1\\par}"));
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
