// Printing for real: Wine's spooler hands the jobs to CUPS, whose PDF printer writes one
// file per document into the folder named by TOMELET_PRINT_OUTPUT (scripts/test.sh sets
// it up). Wine's rich-edit control lays out no pages, so every copy is one page here.
#include <gtest/gtest.h>
#include <richedit.h>

#include <map>
#include <string>

#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

constexpr int kSelectionButton = 0x421, kCopiesEdit = 0x482;  // in the system's print dialog

// A window of any thread owned by the main window (the print jobs show theirs): the
// job's progress window, hidden or not, or else a visible one (a dialog).
struct Search { HWND owner, except; bool progress; HWND found; };

BOOL CALLBACK FindOwned(HWND w, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  const bool progress = GetDlgItem(w, IDC_PRINT_PROGRESS_TEXT) != nullptr;
  if (w != s->except && GetWindow(w, GW_OWNER) == s->owner && s->progress == progress && (progress || IsWindowVisible(w)))
    s->found = w;
  return !s->found;
}

HWND WaitForOwned(HWND owner, HWND except = nullptr, bool progress = false, DWORD milliseconds = 15000) {
  Search search{owner, except, progress, nullptr};
  for (const DWORD start = GetTickCount(); !search.found && GetTickCount() - start < milliseconds; Sleep(20))
    EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
  return search.found ? Sleep(100), search.found : nullptr;
}

// Title and page count of each complete PDF in the folder (CUPS-PDF writes PDF 1.2
// without object streams).
std::map<std::wstring, std::string> Pdfs(const std::wstring& folder) {
  std::map<std::wstring, std::string> facts;
  WIN32_FIND_DATAW data{};
  const HANDLE search = FindFirstFileW((folder + L"\\*.pdf").c_str(), &data);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &data)) {
    const std::string pdf = ReadFileBytes(WideToUtf8(folder + L"\\" + data.cFileName));
    const std::size_t title = pdf.find("/Title("), pages = pdf.find("/Count ", pdf.find("/Type /Pages"));
    if (title != std::string::npos && pages != std::string::npos)
      facts[data.cFileName] = pdf.substr(title + 7, pdf.find(')', title) - title - 7) + ", " + pdf.substr(pages + 7, 1);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return facts;
}

// The PDFs not there `before`, once there are `count` of them (or a minute has passed).
std::vector<std::string> NewPdfs(const std::wstring& folder, const std::map<std::wstring, std::string>& before,
                                 std::size_t count) {
  std::vector<std::string> fresh;
  for (const DWORD start = GetTickCount(); fresh.size() < count && GetTickCount() - start < 60000;) {
    // Meanwhile this thread serves what is sent to it (Wine's spooler may call on it).
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 500, QS_ALLINPUT);
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    fresh.clear();
    for (const auto& [name, facts] : Pdfs(folder))
      if (!before.count(name)) fresh.push_back(facts);
  }
  return fresh;
}

TEST(PrintTest, JobsRunBesideReadingAndReachTheSpooler) {
  wchar_t output[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"TOMELET_PRINT_OUTPUT", output, MAX_PATH))
    GTEST_SKIP() << "no CUPS-PDF folder (scripts/test.sh sets TOMELET_PRINT_OUTPUT)";
  const std::wstring folder = WinPath(WideToUtf8(output));
  const auto before = Pdfs(folder);
  TempDir dir;
  ASSERT_TRUE(BookWriter().Add("01 First.rtf", "{\\rtf1\\ansi First chapter, to be printed.\\par}")
                  .Add("02 Second.rtf", "{\\rtf1\\ansi Second chapter.\\par}").Write(dir.File("print.tmk")));
  ViewerRun viewer(WinPath(dir.File("print.tmk")));

  // Cancel prints nothing and says nothing.
  viewer.Command(CMD_PRINT);
  HWND dialog = WaitForOwned(viewer.window());
  ASSERT_TRUE(dialog);
  PressButton(dialog, IDCANCEL);
  EXPECT_FALSE(WaitForOwned(viewer.window(), dialog, false, 1500));

  // Choosing the selection when nothing is selected: told, nothing printed.
  viewer.Command(CMD_PRINT);
  dialog = WaitForOwned(viewer.window());
  ASSERT_TRUE(dialog);
  EXPECT_EQ(IsDlgButtonChecked(dialog, kSelectionButton), BST_UNCHECKED);
  SendDlgItemMessageW(dialog, kSelectionButton, BM_CLICK, 0, 0);
  PressButton(dialog, IDOK);
  const HWND box = WaitForOwned(viewer.window(), dialog);
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box, 0xFFFF), L"There is nothing to print.");
  PressButton(box, IDOK);

  // A selection, three copies: after the first, the job asks for more.
  viewer.OnViewerThread([&] {
    CHARRANGE some{0, 5};
    SendMessageW(viewer.text(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&some));
  });
  viewer.Command(CMD_PRINT);
  dialog = WaitForOwned(viewer.window(), box);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(IsDlgButtonChecked(dialog, kSelectionButton), BST_CHECKED);
  SetDlgItemTextW(dialog, kCopiesEdit, L"3");
  PressButton(dialog, IDOK);
  const HWND question = WaitForOwned(viewer.window(), dialog);
  ASSERT_TRUE(question);
  EXPECT_EQ(WindowText(question, 0xFFFF), L"More copies?");
  EXPECT_EQ(WindowText(WaitForOwned(viewer.window(), nullptr, true), IDC_PRINT_PROGRESS_TEXT), L"Print page 1 of copy 1");

  // Meanwhile the reader moves on and starts a second job, which finishes beside the
  // first job's first copy.
  viewer.Command(CMD_CHAPTER_DOWN);
  EXPECT_EQ(PaneText(viewer.text()), L"Second chapter.");
  viewer.Command(CMD_PRINT);
  dialog = WaitForOwned(viewer.window(), question);
  ASSERT_TRUE(dialog);
  PressButton(dialog, IDOK);
  EXPECT_EQ(NewPdfs(folder, before, 2), std::vector<std::string>(2, "Tomelet: print.tmk, 1"));

  PressButton(question, IDYES);
  EXPECT_EQ(NewPdfs(folder, before, 4), std::vector<std::string>(4, "Tomelet: print.tmk, 1"));
}

}  // namespace
}  // namespace tomelet::test
