// Opening a book: the archive, its table of contents in the contents list, the title,
// and the remembered row.
#include <windows.h>

#include "app/main_window.h"
#include "app/viewer.h"
#include "base/wide.h"
#include "book/book_session.h"
#include "book/book_texts.h"
#include "book/password_prompt.h"

namespace tomelet {

BookSession& Session() {
  static BookSession session;
  return session;
}

namespace {

void FillContentsList(HWND list, const std::vector<ContentsRow>& rows) {
  // Without redrawing in between: filling a visible list row by row is very slow.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, rows.size(), rows.size() * 32 * sizeof(wchar_t));
  for (const ContentsRow& row : rows) {
    const std::wstring text = Utf8ToWide(row.displayText);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

std::wstring FileNamePart(const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void ReportFailure(HWND owner, OpenStatus status, const std::wstring& path) {
  const TextPair& message = status == OpenStatus::Empty ? texts::kFileIsEmpty : texts::kErrorOpeningFile;
  ShowMessage(owner, Pick(message) + path, MB_OK | MB_ICONERROR);
}

}  // namespace

OpenStatus OpenBook(HWND owner, const std::wstring& path) {
  MainWindowState& m = Main();
  BookSession& session = Session();
  SetWindowTextW(m.textPane, L"");
  SendMessageW(m.contentsList, LB_RESETCONTENT, 0, 0);
  session.archive.reset();
  // The password belongs to one book: cleared before the new book's index file is read,
  // so an old password never stands in for the new book's, and the password typed for
  // an encrypted index file also opens the chapters.
  session.password.clear();
  session.dontAskPassword = false;

  OpenedBook opened = OpenBookArchive(WideToUtf8(path.substr(0, 259)));
  if (opened.status != OpenStatus::Opened) {
    ReportFailure(owner, opened.status, path);
    return opened.status;
  }
  session.archive = std::move(opened.archive);
  zip_set_default_password(session.archive.get(), nullptr);

  TableOfContents contents = BuildTableOfContents(
      session.archive.get(), IsGerman(), [&session](zip_uint64_t entry, const EntryInfo& info) {
        AskPasswordIfNeeded(session.archive.get(), entry, info);
      });
  session.chapters = std::move(contents.chapters);
  session.rows = std::move(contents.rows);
  FillContentsList(m.contentsList, session.rows);
  SendMessageW(m.contentsList, LB_SETCURSEL, static_cast<WPARAM>(TheProgram().place.lastChapterFile), 0);

  SetWindowTextW(owner, (texts::kTitlePrefix + FileNamePart(path)).c_str());
  LayoutChildren(m.contentsWidth);
  const LRESULT selected = SendMessageW(m.contentsList, LB_GETCURSEL, 0, 0);
  LoadChapter(selected == LB_ERR ? -1 : static_cast<int>(selected));
  return OpenStatus::Opened;
}

}  // namespace tomelet
