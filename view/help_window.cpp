#include "view/help_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/dpi_scale.h"
#include "base/language.h"
#include "base/late_bound.h"
#include "base/system_library.h"
#include "base/window_dpi.h"
#include "base/window_box.h"
#include "base/accessible_object.h"
#include "res/resource_ids.h"
#include "view/accessible_rules.h"
#include "view/help_rules.h"
#include "view/screen_place.h"

namespace tomelet {
namespace {

const TextPair kTabLabels[kHelpTabCount] = {
    {L"About...", L"\u00dcber..."},
    {L"Create own Tomelets", L"Tomelets selber machen"},
    {L"Tips...", L"Tips..."},
    {L"History", L"History"},
};

// Links longer than this are not followed.
constexpr LONG kLongestLink = 2047;

void OpenWithShell(const std::wstring& link) {
  late::ShellExecuteW(nullptr, L"open", link.c_str(), L"", L"", SW_SHOW);
}

HelpWindowHost& Host() {
  static HelpWindowHost host;
  return host;
}

LinkOpener& CurrentOpener() {
  static LinkOpener opener = OpenWithShell;
  return opener;
}

HWND Tabs(HWND window) { return GetDlgItem(window, IDC_HELP_TABS); }
HWND Text(HWND window) { return GetDlgItem(window, IDC_HELP_TEXT); }

// "Tomelet viewer (Version: 1.0.0)" from the program file's own version resource; the
// title alone when it has none.
std::wstring Caption() {
  std::wstring caption = Host().programName;
  const std::wstring& path = Host().modulePath;
  const UniqueLibrary library = LoadSystemLibrary(L"version.dll");
  const auto infoSize = SystemFunction<decltype(&GetFileVersionInfoSizeW)>(library.get(), "GetFileVersionInfoSizeW");
  const auto info = SystemFunction<decltype(&GetFileVersionInfoW)>(library.get(), "GetFileVersionInfoW");
  const auto query = SystemFunction<decltype(&VerQueryValueW)>(library.get(), "VerQueryValueW");
  DWORD ignored = 0;
  const DWORD size = infoSize && info && query ? infoSize(path.c_str(), &ignored) : 0;
  if (size == 0) return caption;
  std::vector<BYTE> block(size);
  if (!info(path.c_str(), 0, size, block.data())) return caption;
  wchar_t* version = nullptr;
  UINT length = 0;
  if (!query(block.data(), L"\\StringFileInfo\\040904B0\\FileVersion", reinterpret_cast<void**>(&version),
                      &length) ||
      !version || length == 0)
    return caption;
  return caption + L" (Version: " + std::wstring(version, wcsnlen(version, length)) + L")";
}

void OnInitDialog(HWND window) {
  HelpFields& s = *Host().fields;
  const HWND tabs = Tabs(window);
  for (int i = 0; i < kHelpTabCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(Pick(kTabLabels[i]));
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  s.helpTab = HelpTabOrAbout(s.helpTab);
  SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(s.helpTab), 0);

  const HWND text = Text(window);
  Spoken spoken;
  spoken.name = [] {
    const std::u16string_view name = SpokenName(SpokenPart::HelpText, IsGerman());
    return std::wstring(name.begin(), name.end());
  };
  MakeSpoken(text, std::move(spoken));
  SendMessageW(text, EM_AUTOURLDETECT, TRUE, 0);
  SendMessageW(text, EM_SETEVENTMASK, 0, ENM_LINK);

  // The rectangle is kept in 96-DPI units, as the main window's.
  const int dpi = SystemDpi();
  const HelpRect r = CorrectHelpRect({s.helpLeft, s.helpTop, s.helpWidth, s.helpHeight},
                                     UnscaleForDpi(GetSystemMetrics(SM_CXSCREEN), dpi),
                                     UnscaleForDpi(GetSystemMetrics(SM_CYSCREEN), dpi));
  s.helpLeft = r.left;
  s.helpTop = r.top;
  s.helpWidth = r.width;
  s.helpHeight = r.height;
  const RECT shown = OntoVisibleScreen({ScaleForDpi(r.left, dpi), ScaleForDpi(r.top, dpi),
                                        ScaleForDpi(r.left + r.width, dpi), ScaleForDpi(r.top + r.height, dpi)});
  MoveWindow(window, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, TRUE);

  SetWindowTextW(window, Caption().c_str());
  PostMessageW(window, WM_COMMAND, CMD_HELP_LOAD_DOCUMENT, 0);
  SetFocus(text);
}

// Shows the selected tab's document at the remembered character and scroll position.
void LoadDocument(HWND window) {
  const HelpFields& s = *Host().fields;
  const HINSTANCE instance = Host().instance;
  const int id = HelpDocumentId(s.helpTab, IsGerman());
  std::string rtf;
  if (HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA)) {
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    if (const auto* bytes = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr))
      rtf.assign(bytes, strnlen(bytes, size));  // the document ends at its NUL byte
  }
  const HWND text = Text(window);
  SETTEXTEX replace{ST_DEFAULT, CP_ACP};
  SendMessageW(text, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace), reinterpret_cast<LPARAM>(rtf.c_str()));
  // A stored position beyond the text lands at its end; a negative one at its start.
  const WPARAM topChar = static_cast<WPARAM>(std::max(s.helpTopChar, 0));
  SendMessageW(text, EM_SETSEL, topChar, static_cast<LPARAM>(topChar));
  POINT scroll{0, std::max(s.helpScrollY, 0)};
  SendMessageW(text, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

void OnSize(HWND window, int width, int height) {
  const HWND tabs = Tabs(window);
  RECT r{};
  GetWindowRect(tabs, &r);
  const int tabHeight = r.bottom - r.top;
  MoveWindow(tabs, 0, 0, width, tabHeight, TRUE);
  // The text fills what is left below the strip and its one-pixel (at 96 DPI) gap.
  const int below = tabHeight + ScaleForDpi(1, WindowDpi(window));
  MoveWindow(Text(window), 0, below, width, height - below, TRUE);
}

void FollowLink(const ENLINK* link) {
  const LONG length = link->chrg.cpMax - link->chrg.cpMin;
  if (link->chrg.cpMin < 0 || length < 1 || length > kLongestLink) return;
  std::wstring target(static_cast<std::size_t>(length) + 1, L'\0');
  TEXTRANGEW range{link->chrg, target.data()};
  const LRESULT read = SendMessageW(link->nmhdr.hwndFrom, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  target.resize(std::min(static_cast<std::size_t>(std::max<LRESULT>(read, 0)), wcsnlen(target.c_str(), target.size())));
  if (!target.empty()) CurrentOpener()(target);
}

void OnNotify(HWND window, const NMHDR* header) {
  if (header->idFrom == IDC_HELP_TABS && header->code == TCN_SELCHANGE) {
    HelpFields& s = *Host().fields;
    s.helpTab = static_cast<int32_t>(SendMessageW(Tabs(window), TCM_GETCURSEL, 0, 0));
    s.helpTopChar = 0;
    s.helpScrollY = 0;
    PostMessageW(window, WM_COMMAND, CMD_HELP_LOAD_DOCUMENT, 0);
  } else if (header->idFrom == IDC_HELP_TEXT && header->code == EN_LINK) {
    const auto* link = reinterpret_cast<const ENLINK*>(header);
    if (link->msg == WM_LBUTTONDOWN) FollowLink(link);
  }
}

// Remembers tab, place and reading position, then closes.
void Close(HWND window) {
  HelpFields& s = *Host().fields;
  s.helpTab = static_cast<int32_t>(SendMessageW(Tabs(window), TCM_GETCURSEL, 0, 0));
  const WindowBox box = ReadWindowBox(window);
  s.helpShowState = box.showState;
  const int dpi = SystemDpi();
  s.helpLeft = UnscaleForDpi(box.left, dpi), s.helpTop = UnscaleForDpi(box.top, dpi);
  s.helpWidth = UnscaleForDpi(box.width, dpi), s.helpHeight = UnscaleForDpi(box.height, dpi);
  const HWND text = Text(window);
  const LRESULT firstLine = SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0);
  s.helpTopChar = static_cast<int32_t>(SendMessageW(text, EM_LINEINDEX, static_cast<WPARAM>(firstLine), 0));
  POINT scroll{};
  SendMessageW(text, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  s.helpScrollY = scroll.y;
  DestroyWindow(window);
  // Only the newest help window is served by the message loop; an older one closing
  // leaves it its keyboard handling.
  const HelpWindowHost& host = Host();
  if (host.served && *host.served == window) *host.served = nullptr;
  SetFocus(host.mainWindow);
}

INT_PTR CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(window);
      return FALSE;  // the focus is already on the text
    case WM_SIZE:
      OnSize(window, LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_NOTIFY:
      OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;  // answered with 0: the control goes on with its own handling
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case CMD_HELP_LOAD_DOCUMENT: LoadDocument(window); return TRUE;
        case IDOK:
        case IDCANCEL: Close(window); return TRUE;
        default: return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

HWND OpenHelpWindow(HWND owner, const HelpWindowHost& host) {
  if (!host.fields) return nullptr;
  Host() = host;
  return CreateDialogParamW(host.instance, MAKEINTRESOURCEW(IDD_HELP), owner, HelpWindowProc, 0);
}

LinkOpener SetLinkOpener(LinkOpener opener) {
  LinkOpener previous = CurrentOpener();
  CurrentOpener() = opener ? opener : OpenWithShell;
  return previous;
}

}  // namespace tomelet
