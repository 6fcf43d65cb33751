#include "output/print_job.h"

#include <ole2.h>
#include <richedit.h>

#include <cstring>
#include <memory>
#include <string>

#include "base/language.h"
#include "base/late_bound.h"
#include "base/win_handles.h"
#include "output/output_messages.h"
#include "output/print_pages.h"
#include "res/resource_ids.h"
#include "view/rich_edit_host.h"

namespace tomelet {
namespace {

const TextPair kPrintPage = {L"Print page ", L"Drucke Seite "};
const TextPair kOfCopy = {L" of copy ", L" von Kopie "};
const TextPair kMoreCopies = {L"More copies?", L"Mehr Kopien?"};
const TextPair kErrorPrinting = {L"Error printing", L"Fehler beim Drucken"};
const TextPair kNothingToPrint = {L"There is nothing to print.", L"Es gibt nichts zu drucken."};
const TextPair kPageTooSmall = {L"The printable area of the page is smaller than its margins.",
                                L"Der bedruckbare Bereich der Seite ist kleiner als ihre R\u00e4nder."};

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniquePrinterDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
struct WindowDestroyer {
  void operator()(HWND window) const {
    if (IsWindow(window)) DestroyWindow(window);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Everything one job works with; the job's thread owns it.
struct PrintJob {
  HWND owner = nullptr;
  HINSTANCE instance = nullptr;
  bool german = false;
  PageMargins margins;
  std::string chapterRtf;    // the text pane's content when the job started
  std::string selectionRtf;  // its selection then; empty: nothing was selected
  std::wstring documentName;

  const wchar_t* Text(const TextPair& text) const { return Pick(text, german); }  // the language at the start
  int Tell(const std::wstring& message, UINT icon) const { return ShowOutputMessage(owner, message, icon); }
};

// --- moving rich text in and out of a control ---------------------------------------

DWORD CALLBACK AppendOut(DWORD_PTR cookie, BYTE* bytes, LONG count, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
  *done = count;
  return 0;
}

std::string StreamOut(HWND richEdit, WPARAM format) {
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, AppendOut};
  SendMessageW(richEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
  return rtf;
}

struct Reading {
  const std::string* rtf;
  std::size_t offset;
};

DWORD CALLBACK ReadIn(DWORD_PTR cookie, BYTE* bytes, LONG count, LONG* done) {
  auto* reading = reinterpret_cast<Reading*>(cookie);
  const std::size_t left = reading->rtf->size() - reading->offset;
  const std::size_t n = left < static_cast<std::size_t>(count) ? left : static_cast<std::size_t>(count);
  std::memcpy(bytes, reading->rtf->data() + reading->offset, n);
  reading->offset += n;
  *done = static_cast<LONG>(n);
  return 0;
}

// A hidden rich-edit control of the job's thread holding the text to print.
UniqueWindow LoadPrintCopy(const PrintJob& job, const std::string& rtf) {
  UniqueWindow copy(CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_CHILD | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0,
                                    HWND_MESSAGE, nullptr, job.instance, nullptr));
  if (!copy) return copy;
  SendMessageW(copy.get(), EM_EXLIMITTEXT, 0, 67108863);
  InstallRichEditCallback(copy.get());
  Reading reading{&rtf, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reading), 0, ReadIn};
  SendMessageW(copy.get(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  return copy;
}

int32_t TextLength(HWND richEdit) {
  GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT length = SendMessageW(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
  return length > 0 ? static_cast<int32_t>(length) : 0;
}

// --- the progress window ------------------------------------------------------------

INT_PTR CALLBACK PrintProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetWindowTextW(window, kOutputCaption);
  } else if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    DestroyWindow(window);  // the job goes on without it
  }
  return FALSE;
}

// The printer as the page loop sees it: the job's printer device context, its copy of
// the text and its progress window.
class PrinterTarget final : public PrintTarget {
 public:
  PrinterTarget(const PrintJob& job, HDC printer, HWND progress, const PageGeometry& geometry)
      : job_(job), progress_(progress), progressText_(GetDlgItem(progress, IDC_PRINT_PROGRESS_TEXT)) {
    const RECT area{geometry.layout.left, geometry.layout.top, geometry.layout.right, geometry.layout.bottom};
    range_.hdc = printer;
    range_.hdcTarget = printer;
    range_.rc = area;
    range_.rcPage = area;
    document_.cbSize = sizeof(document_);
    document_.lpszDocName = job.documentName.c_str();
    document_.fwType = DI_APPBANDING;
  }
  void SetText(HWND copy) { copy_ = copy; }
  DWORD error() const { return error_; }

  bool StartDocument() override { return Succeeded(StartDocW(range_.hdc, &document_) > 0); }
  void EndDocument() override { EndDoc(range_.hdc); }
  void AbortDocument() override { AbortDoc(range_.hdc); }
  bool StartPage() override { return Succeeded(::StartPage(range_.hdc) > 0); }
  int32_t DrawPage(int32_t from, int32_t to) override {
    range_.chrg = {from, to};
    return static_cast<int32_t>(SendMessageW(copy_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range_)));
  }
  void EndPage() override { ::EndPage(range_.hdc); }
  void DropLayout() override { SendMessageW(copy_, EM_FORMATRANGE, FALSE, 0); }
  void ShowProgress(int page, int copy, int copiesRequested) override {
    if (!IsWindow(progress_)) return;
    std::wstring text = job_.Text(kPrintPage) + std::to_wstring(page);
    if (copiesRequested > 1) text += job_.Text(kOfCopy) + std::to_wstring(copy);
    SetWindowTextW(progressText_, text.c_str());
    UpdateWindow(progress_);
  }
  bool WantMoreCopies() override {
    if (IsWindow(progress_)) ShowWindow(progress_, SW_HIDE);
    const bool more = job_.Tell(job_.Text(kMoreCopies), MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (more && IsWindow(progress_)) ShowWindow(progress_, SW_SHOWNORMAL);
    return more;
  }
  // The progress window belongs to this thread: it stays painted and movable only if
  // its messages are handled here.
  void BetweenPages() override {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (IsWindow(progress_) && IsDialogMessageW(progress_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(0);
  }

 private:
  bool Succeeded(bool ok) {
    if (!ok) error_ = GetLastError();
    return ok;
  }
  const PrintJob& job_;
  HWND copy_ = nullptr;
  HWND progress_;
  HWND progressText_;
  FORMATRANGE range_{};
  DOCINFOW document_{};
  DWORD error_ = 0;
};

int RunJob(const PrintJob& job) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = job.owner;
  dialog.hInstance = job.instance;
  dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | (job.selectionRtf.empty() ? 0 : PD_SELECTION);
  const BOOL chosen = late::PrintDlgW(&dialog);
  const UniqueGlobal devMode(dialog.hDevMode), devNames(dialog.hDevNames);
  const UniquePrinterDc printer(dialog.hDC);
  if (!chosen || !printer) return 0;

  const UniqueWindow progress(CreateDialogParamW(job.instance, MAKEINTRESOURCEW(IDD_PRINT_PROGRESS), job.owner,
                                                 PrintProgressProc, 0));
  const PageGeometry geometry =
      ComputePageGeometry(GetDeviceCaps(printer.get(), HORZRES), GetDeviceCaps(printer.get(), VERTRES),
                          GetDeviceCaps(printer.get(), LOGPIXELSX), GetDeviceCaps(printer.get(), LOGPIXELSY),
                          job.margins);
  PrinterTarget target(job, printer.get(), progress.get(), geometry);
  target.ShowProgress(1, 1, dialog.nCopies);  // while a long chapter is being loaded
  const bool selection = (dialog.Flags & PD_SELECTION) != 0;
  const UniqueWindow copy = (selection && job.selectionRtf.empty()) ? nullptr
                            : LoadPrintCopy(job, selection ? job.selectionRtf : job.chapterRtf);
  const PrintSpan span{0, copy ? TextLength(copy.get()) : 0, true};
  target.SetText(copy.get());
  const PrintOutcome outcome = PrintCopies(span, dialog.nCopies, geometry, target);
  if (IsWindow(progress.get())) ShowWindow(progress.get(), SW_HIDE);
  switch (outcome.status) {
    case PrintStatus::NothingToPrint: job.Tell(job.Text(kNothingToPrint), MB_ICONINFORMATION); break;
    case PrintStatus::PageTooSmall: job.Tell(job.Text(kPageTooSmall), MB_ICONERROR); break;
    case PrintStatus::Refused:
      ShowSystemError(job.owner, job.Text(kErrorPrinting), target.error());
      break;
    case PrintStatus::Printed: break;
  }
  return outcome.totalPages;
}

DWORD WINAPI PrintThread(void* parameter) {
  const std::unique_ptr<PrintJob> job(static_cast<PrintJob*>(parameter));
  const HRESULT ole = OleInitialize(nullptr);  // embedded objects in the copy of the text
  const int pages = RunJob(*job);
  if (SUCCEEDED(ole)) OleUninitialize();
  return static_cast<DWORD>(pages);
}

}  // namespace

void StartPrintJob(HWND owner, HINSTANCE instance, HWND textPane, bool german) {
  auto job = std::make_unique<PrintJob>();
  job->owner = owner;
  job->instance = instance;
  job->german = german;
  job->chapterRtf = StreamOut(textPane, SF_RTF);
  CHARRANGE selection{};
  SendMessageW(textPane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  if (selection.cpMax != selection.cpMin) job->selectionRtf = StreamOut(textPane, SF_RTF | SFF_SELECTION);
  std::wstring caption(260, L'\0');
  caption.resize(static_cast<std::size_t>(GetWindowTextW(owner, caption.data(), 260)));
  job->documentName = caption;

  DWORD threadId = 0;
  const UniqueHandle thread(CreateThread(nullptr, 0, PrintThread, job.get(), 0, &threadId));
  if (!thread) {
    ShowSystemError(job->owner, job->Text(kErrorPrinting));
    return;
  }
  job.release();  // the thread's now
}

}  // namespace tomelet
