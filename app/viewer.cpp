#include "app/viewer.h"

#include <commctrl.h>

#include <vector>

#include "app/accessibility.h"
#include "app/app_texts.h"
#include "app/book_path.h"
#include "app/file_association.h"
#include "app/full_screen.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "base/dpi_scale.h"
#include "base/system_library.h"
#include "base/win_handles.h"
#include "base/window_dpi.h"
#include "app/book_view.h"
#include "res/resource_ids.h"

namespace tomelet {

Program& TheProgram() {
  static Program program;
  return program;
}

int ShowMessage(HWND owner, const std::wstring& text, UINT flags) {
  DrawHeldMenuBar();
  return MessageBoxW(owner, text.c_str(), texts::kProgramCaption, flags);
}

namespace {

std::wstring LongModulePath() {
  std::wstring path(520, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), 520);
  path.resize(length < 520 ? length : 519);
  std::wstring longPath(1024, L'\0');
  const DWORD longLength = GetLongPathNameW(path.c_str(), longPath.data(), 1024);
  if (longLength > 0 && longLength < 1024) {
    longPath.resize(longLength);
    return longPath;
  }
  return path;
}

}  // namespace

const std::wstring& ModulePath() {
  std::wstring& path = TheProgram().modulePath;
  if (path.empty()) path = LongModulePath();
  return path;
}

namespace {

int ScreenItemHeight() {
  WindowDC screen(nullptr);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.get(), &metrics);
  return ItemHeightAt96(metrics.tmHeight, SystemDpi());
}

ATOM RegisterMainClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_BOOK));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_MENU);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(IsGerman() ? IDM_MENU_GERMAN : IDM_MENU_ENGLISH);
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&windowClass);
}

// Every modeless dialog of ours (the Search dialogs, however many are open, the help
// windows, Find all) gets its dialog keys: Tab, Enter, Esc, access keys.
bool IsOurDialogMessage(MSG& message) {
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  constexpr ATOM kDialogClass = 32770;
  if (!root || root == Main().window || GetClassLongW(root, GCW_ATOM) != kDialogClass) return false;
  return IsDialogMessageW(root, &message) != FALSE;
}

// Esc in the main window or one of its children ends full screen.
bool LeavesFullScreen(const MSG& message) {
  const HWND window = Main().window;
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE || !InFullScreen()) return false;
  if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
  LeaveFullScreen(window);
  return true;
}

int RunMessageLoop() {
  const MainWindowState& m = Main();
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsOurDialogMessage(message)) continue;
    if (LeavesFullScreen(message)) continue;
    if (TranslateAcceleratorW(m.window, TheProgram().accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int RunViewer(HINSTANCE instance, const std::wstring& bookPath, int showCommand, const ViewerOptions& options) {
  Program& program = TheProgram();
  program = Program{};
  BindLanguageId(&program.settings.languageId);
  program.instance = instance;
  program.userUiLanguage = options.userUiLanguage;
  Main() = MainWindowState{};
  Session() = BookSession{};

  UniqueLibrary richEdit = LoadSystemLibrary(options.richEditLibrary.c_str());
  if (!richEdit) {
    program.settings.languageId = UserUiPrimaryLanguage();
    ShowMessage(nullptr, Pick(texts::kRichEditMissing), MB_OK | MB_ICONERROR);
    return kExitRichEditMissing;
  }
  const UniqueLibrary commonControls = LoadSystemLibrary(L"comctl32.dll");
  if (const auto init = SystemFunction<decltype(&InitCommonControls)>(commonControls.get(), "InitCommonControls")) init();
  // Screen readers' objects are handed out through COM (app/accessibility.h).
  const ComApartment apartment;
  FakeHighContrast(options.highContrast);
  Session().bookPath = WholeBookPath(bookPath.substr(0, 259));
  program.itemHeight = ScreenItemHeight();
  LoadSettings();
  if (Session().bookPath.empty()) Session().bookPath = program.place.lastArchiveFile;

  const ATOM windowClass = RegisterMainClass(instance);
  MainWindowState& m = Main();
  m.zoomLevel = program.settings.zoomLevel;
  const WindowSettings& s = program.settings;
  const auto px = [dpi = SystemDpi()](int value96) { return ScaleForDpi(value96, dpi); };
  HWND window = windowClass ? CreateWindowExW(0, kMainWindowClass, texts::kProgramCaption, WS_OVERLAPPEDWINDOW,
                                              px(s.windowLeft), px(s.windowTop), px(s.windowWidth),
                                              px(s.windowHeight), nullptr, nullptr, instance, nullptr)
                            : nullptr;
  if (!window) {
    if (windowClass) UnregisterClassW(kMainWindowClass, instance);
    return kExitWindowFailed;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  program.accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));

  const int exitCode = RunMessageLoop();

  UnregisterClassW(kMainWindowClass, instance);
  Session().archive.reset();
  Main() = MainWindowState{};
  // Settings kept: the key, then the association (only when the key was written).
  // Not kept: no trace of the program stays behind.
  if (program.settings.storeSettings == -1) {
    if (SaveSettings()) RegisterAssociation(ModulePath());
  } else {
    SaveSettings();
    RemoveAssociation();
  }
  return exitCode;
}

}  // namespace tomelet
