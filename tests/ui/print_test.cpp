// Printing for real: Wine's spooler hands the jobs to CUPS, whose PDF printer writes one
// file per document into the folder named by TOMELET_PRINT_OUTPUT (scripts/test.sh sets
// it up). Wine's rich-edit control lays out no pages, so every copy is one page here.
#include <gtest/gtest.h>
#include <richedit.h>

#include <set>
#include <string>

#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

constexpr int kSelectionButton = 0x421, kCopiesEdit = 0x482;  // in the system's print dialog

struct Found {
  HWND owner, except;
  bool progress = false;  // the hidden progress window instead of a visible dialog
  HWND window = nullptr;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  const bool progress = GetDlgItem(window, IDC_PRINT_PROGRESS_TEXT) != nullptr;
  if (window == found->except || GetWindow(window, GW_OWNER) != found->owner || std::wstring(name) != L"#32770" ||
      found->progress != progress || (!progress && !IsWindowVisible(window)))
    return TRUE;
  found->window = window;
  return FALSE;
}

// A dialog of any thread owned by the main window (the print jobs show theirs), not a
// progress window.
HWND WaitForOwnedDialog(HWND owner, HWND except = nullptr, DWORD milliseconds = 15000) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(20)) {
    Found found{owner, except};
    EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&found));
    if (found.window) {
      Sleep(100);
      return found.window;
    }
  }
  return nullptr;
}

std::set<std::wstring> PdfFiles(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data{};
  const HANDLE search = FindFirstFileW((folder + L"\\*.pdf").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.insert(data.cFileName);
  while (FindNextFileW(search, &data));
  FindClose(search);
  return names;
}

// Title and page count of a PDF as CUPS-PDF writes it (PDF 1.2, no object streams).
std::string PdfFacts(const std::string& pdf) {
  std::size_t title = pdf.find("/Title(");
  if (title == std::string::npos && (title = pdf.find("/Title (")) != std::string::npos) ++title;
  const std::size_t pages = pdf.find("/Count ", pdf.find("/Type /Pages"));
  if (title == std::string::npos || pages == std::string::npos) return "unreadable";
  return pdf.substr(title + 7, pdf.find(')', title) - title - 7) + ", " +
         std::to_string(std::atoi(pdf.c_str() + pages + 7)) + " page(s)";
}

std::vector<std::string> NewPdfs(const std::wstring& folder, const std::set<std::wstring>& before, std::size_t count) {
  std::set<std::wstring> fresh;
  for (const DWORD start = GetTickCount(); fresh.size() < count && GetTickCount() - start < 60000; Sleep(200)) {
    fresh.clear();
    for (const std::wstring& name : PdfFiles(folder))
      if (!before.count(name)) fresh.insert(name);
  }
  Sleep(1000);  // CUPS-PDF may still be writing the last one
  std::vector<std::string> facts;
  for (const std::wstring& name : PdfFiles(folder)) {
    if (before.count(name)) continue;
    std::string path(name.size() + folder.size() + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, (folder + L"\\" + name).c_str(), -1, path.data(), static_cast<int>(path.size()),
                        nullptr, nullptr);
    facts.push_back(PdfFacts(ReadFileBytes(path.c_str())));
  }
  return facts;
}

TEST(PrintTest, JobsRunBesideReadingAndReachTheSpooler) {
  wchar_t output[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"TOMELET_PRINT_OUTPUT", output, MAX_PATH))
    GTEST_SKIP() << "no CUPS-PDF folder (scripts/test.sh sets TOMELET_PRINT_OUTPUT)";
  const std::wstring folder = L"Z:" + WinPath(WideToUtf8(output));
  TempDir dir;
  BookWriter book;
  book.Add("01 First.rtf", "{\\rtf1\\ansi First chapter, to be printed.\\par}")
      .Add("02 Second.rtf", "{\\rtf1\\ansi Second chapter.\\par}");
  ASSERT_TRUE(book.Write(dir.File("print.tmk")));
  const std::set<std::wstring> before = PdfFiles(folder);
  ViewerRun viewer(WinPath(dir.File("print.tmk")));

  // Cancel prints nothing and says nothing.
  viewer.Command(CMD_PRINT);
  HWND dialog = WaitForOwnedDialog(viewer.window());
  ASSERT_TRUE(dialog);
  PressButton(dialog, IDCANCEL);
  EXPECT_FALSE(WaitForOwnedDialog(viewer.window(), dialog, 1500));

  // Choosing the selection when nothing is selected: told, nothing printed.
  viewer.Command(CMD_PRINT);
  dialog = WaitForOwnedDialog(viewer.window());
  ASSERT_TRUE(dialog);
  EXPECT_EQ(IsDlgButtonChecked(dialog, kSelectionButton), BST_UNCHECKED);
  SendDlgItemMessageW(dialog, kSelectionButton, BM_CLICK, 0, 0);
  PressButton(dialog, IDOK);
  HWND box = WaitForOwnedDialog(viewer.window(), dialog);
  ASSERT_TRUE(box);
  EXPECT_EQ(ReadMessageBox(box).message, L"There is nothing to print.");
  PressButton(box, IDOK);

  // With a selection, three copies: after the first, the job asks for more.
  viewer.OnViewerThread([&] {
    CHARRANGE some{0, 5};
    SendMessageW(viewer.text(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&some));
  });
  viewer.Command(CMD_PRINT);
  dialog = WaitForOwnedDialog(viewer.window(), box);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(IsDlgButtonChecked(dialog, kSelectionButton), BST_CHECKED);
  SetDlgItemTextW(dialog, kCopiesEdit, L"3");
  PressButton(dialog, IDOK);
  HWND question = WaitForOwnedDialog(viewer.window(), dialog);
  ASSERT_TRUE(question);
  EXPECT_EQ(ReadMessageBox(question).message, L"More copies?");
  Found progress{viewer.window(), nullptr, true};
  EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&progress));
  EXPECT_EQ(DialogText(progress.window, IDC_PRINT_PROGRESS_TEXT), L"Print page 1 of copy 1");

  // Meanwhile the reader moves on and starts a second job, which finishes beside the
  // first job's first copy.
  viewer.Command(CMD_CHAPTER_DOWN);
  EXPECT_EQ(PaneText(viewer.text()), L"Second chapter.");
  viewer.Command(CMD_PRINT);
  dialog = WaitForOwnedDialog(viewer.window(), question);
  ASSERT_TRUE(dialog);
  PressButton(dialog, IDOK);
  EXPECT_EQ(NewPdfs(folder, before, 2), std::vector<std::string>(2, "Tomelet: print.tmk, 1 page(s)"));

  PressButton(question, IDYES);
  EXPECT_EQ(NewPdfs(folder, before, 4), std::vector<std::string>(4, "Tomelet: print.tmk, 1 page(s)"));
}

}  // namespace
}  // namespace tomelet::test
