#include "output/save_chapter.h"


#include <string>

#include "base/language.h"
#include "base/late_bound.h"
#include "base/win_handles.h"
#include "output/output_messages.h"
#include "output/picture_document.h"
#include "output/safe_file.h"
#include "output/save_rules.h"

namespace tomelet {
namespace {

const TextPair* MessageOf(SaveStatus status) {
  static const TextPair kNoBook = {L"No book open.", L"Kein Buch ge\u00f6ffnet!"};
  static const TextPair kNoRow = {L"Is there no chapter selected?", L"Ist kein Kapitel ausgew\u00e4hlt?"};
  static const TextPair kNoInformation = {L"Could not obtain file information of chapter.",
                                          L"Konnte die Dateiinformationen zum Kapitel nicht ermitteln."};
  static const TextPair kCannotOpen = {L"Could not open chapter.", L"Konnte Kapitel nicht \u00f6ffnen."};
  static const TextPair kCannotLoad = {L"Could not load file.", L"Konnte Datei nicht laden."};
  static const TextPair kCannotWrite = {L"Error writing file.", L"Fehler beim Schreiben der Datei."};
  switch (status) {
    case SaveStatus::NoBook: return &kNoBook;
    case SaveStatus::NoRow: return &kNoRow;
    case SaveStatus::NoInformation: return &kNoInformation;
    case SaveStatus::CannotOpen: return &kCannotOpen;
    case SaveStatus::CannotLoad: return &kCannotLoad;
    case SaveStatus::CannotWrite: return &kCannotWrite;
    case SaveStatus::SavedOrCancelled: break;
  }
  return nullptr;
}

// The save dialog asks before replacing the name chosen in it; a picture document written
// under that name plus ".rtf" gets the same question here, or it would replace a file unasked.
bool MayReplace(HWND owner, const std::wstring& target, const std::wstring& chosen) {
  static const TextPair kReplace = {L" already exists.\rDo you want to replace it?",
                                    L" existiert bereits.\rSoll die Datei ersetzt werden?"};
  return target == chosen || GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES ||
         ShowOutputMessage(owner, target + Pick(kReplace), MB_YESNO | MB_ICONWARNING) == IDYES;
}

SaveStatus StatusOf(EntryStatus status) {
  switch (status) {
    case EntryStatus::Ok: return SaveStatus::SavedOrCancelled;
    case EntryStatus::NoInformation: return SaveStatus::NoInformation;
    case EntryStatus::CannotOpen: return SaveStatus::CannotOpen;
    case EntryStatus::CannotRead:
    case EntryStatus::TooLarge:
    case EntryStatus::TooShort:
    case EntryStatus::NotShown: break;  // saving reads whole: never refused for showing
  }
  return SaveStatus::CannotLoad;
}

bool HasEntry(const BookSession& session, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= session.rows.size()) return false;
  const int chapterRow = session.rows[static_cast<std::size_t>(row)].chapterRow;
  return chapterRow >= 0 && static_cast<std::size_t>(chapterRow) < session.chapters.size() &&
         session.chapters[static_cast<std::size_t>(chapterRow)].entryIndex >= 0;
}

// The save dialog; the chosen name and filter, or nothing when the user cancelled.
struct Chosen {
  std::wstring name;
  unsigned filter = 1;
};

std::optional<Chosen> AskTarget(HWND owner, const std::wstring& offered, SaveClass kind) {
  wchar_t name[MAX_PATH] = {};
  offered.copy(name, MAX_PATH - 1);
  const std::wstring filters = SaveFilters(kind, IsGerman());
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = *SaveDefaultExtension(kind) ? SaveDefaultExtension(kind) : nullptr;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!late::GetSaveFileNameW(&dialog)) return std::nullopt;
  return Chosen{name, dialog.nFilterIndex};
}

SaveStatus Save(HWND owner, BookSession& session, int row, const PasswordAsker& ask) {
  if (!session.archive) return SaveStatus::NoBook;
  if (!HasEntry(session, row)) return SaveStatus::NoRow;
  // The whole entry is read and checked before anything is offered or written.
  ChapterEntryData entry = [&] {
    const WaitCursor wait;
    return ReadChapterEntry(session, row, ask, EntryRead::Whole);
  }();
  if (entry.status != EntryStatus::Ok) return StatusOf(entry.status);

  const char* stored = zip_get_name(session.archive.get(), static_cast<zip_uint64_t>(entry.chapter->entryIndex), 0);
  const std::string entryName = stored ? stored : entry.chapter->sourceName;
  const SaveClass kind = SaveClassOf(entryName);
  const std::optional<Chosen> chosen = AskTarget(owner, SaveNameOffered(entryName), kind);
  if (!chosen) return SaveStatus::SavedOrCancelled;

  const SaveForm form = SaveFormOf(kind, entryName, chosen->filter);
  const std::wstring target = SaveTargetName(chosen->name, form);
  if (!MayReplace(owner, target, chosen->name)) return SaveStatus::SavedOrCancelled;
  SafeFileWriter file(target);
  if (!file.Create()) return SaveStatus::CannotWrite;
  const bool written = form == SaveForm::AsStored
                           ? file.Write(entry.bytes)
                           : WritePictureDocument(file, entry.bytes, form == SaveForm::PngDocument);
  if (!written || !file.Commit()) return SaveStatus::CannotWrite;
  return SaveStatus::SavedOrCancelled;
}

}  // namespace

SaveStatus SaveChapter(HWND owner, BookSession& session, int row, const PasswordAsker& ask) {
  const SaveStatus status = Save(owner, session, row, ask);
  if (const TextPair* message = MessageOf(status)) ShowOutputMessage(owner, Pick(*message), MB_ICONERROR);
  return status;
}

}  // namespace tomelet
