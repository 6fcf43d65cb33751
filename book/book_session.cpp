#include "book/book_session.h"

#include <algorithm>
#include <utility>

#include "base/text.h"
#include "base/wide.h"
#include "book/show_rule.h"

namespace tomelet {
namespace {

constexpr std::size_t kMaxPathChars = 259;

enum class PasswordCheck { Reads, Refused, Undecided };

// Whether the password opens the entry and the entry reads with a good checksum. The
// traditional PKWARE check at opening is one byte, so about one wrong password in 128
// passes it; only reading shows whether the password is the right one. At most
// `checkBytes` are inflated, and never more than the show rule admits (a bomb is not
// inflated to check a password): a wrong password almost always breaks the inflating
// within the first bytes. A failure that has nothing to do with the password (an
// unsupported method) leaves the question open.
PasswordCheck CheckPassword(zip_t* archive, zip_uint64_t entry, const std::string& password,
                            zip_uint64_t checkBytes) {
  // libzip 1.7 leaks when asked to open a method it cannot decrypt (see OpenEntry).
  EntryInfo info;
  if (StatEntry(archive, entry, info) != EntryStatus::Ok || !zip_encryption_method_supported(info.encryptionMethod, 0))
    return PasswordCheck::Undecided;
  ZipFilePtr file(zip_fopen_index_encrypted(archive, entry, 0, password.c_str()));
  const int openError = file ? ZIP_ER_OK : zip_get_error(archive)->zip_err;
  zip_error_clear(archive);
  if (!file) return openError == ZIP_ER_WRONGPASSWD ? PasswordCheck::Refused : PasswordCheck::Undecided;
  const zip_uint64_t admitted =
      JudgeShowing(info.size, info.compressedSize) == ShowVerdict::Show ? info.size : kAlwaysShownBytes;
  bool complete = false;
  std::string error;
  switch (DrainOpenedEntry(file.get(), info.size, std::min(admitted, checkBytes), complete, error)) {
    case EntryStatus::Ok: return PasswordCheck::Reads;
    case EntryStatus::CannotRead: return PasswordCheck::Refused;
    default: return PasswordCheck::Undecided;
  }
}

// The form of the typed password that reads the entry: the ANSI form, or, when that one
// is refused and the password has characters beyond ASCII, the UTF-8 form. Nothing when
// the entry refuses both.
std::optional<std::string> PasswordFormThatReads(zip_t* archive, zip_uint64_t entry, const std::string& ansi,
                                                 const std::string& utf8, zip_uint64_t checkBytes) {
  const PasswordCheck check = CheckPassword(archive, entry, ansi, checkBytes);
  if (check != PasswordCheck::Refused) return ansi;
  if (utf8 != ansi && CheckPassword(archive, entry, utf8, checkBytes) == PasswordCheck::Reads) return utf8;
  return std::nullopt;
}

void ClearPasswordState(BookSession& session) {
  session.password.clear();
  session.dontAskPassword = false;
  if (session.archive) zip_set_default_password(session.archive.get(), nullptr);
}

}  // namespace

OpenStatus OpenBookFile(BookSession& session, const std::wstring& path, bool german, const PasswordAsker& ask) {
  session.archive.reset();
  ClearPasswordState(session);
  OpenedBook opened = OpenBookArchive(WideToUtf8(std::wstring_view(path).substr(0, kMaxPathChars)));
  if (opened.status != OpenStatus::Opened) return opened.status;
  session.archive = std::move(opened.archive);
  TableOfContents contents =
      BuildTableOfContents(session.archive.get(), german, [&session, &ask](zip_uint64_t entry, const EntryInfo& info) {
        AskPasswordIfNeeded(session, entry, info, ask);
      });
  session.chapters = std::move(contents.chapters);
  session.rows = std::move(contents.rows);
  session.index = contents.index;
  return OpenStatus::Opened;
}

bool AskPasswordIfNeeded(BookSession& session, zip_uint64_t entry, const EntryInfo& info, const PasswordAsker& ask,
                         zip_uint64_t checkBytes) {
  if (info.encryptionMethod == ZIP_EM_NONE || !session.password.empty() || session.dontAskPassword) return false;
  if (!session.archive || !ask) return false;
  const std::optional<PasswordAnswer> answer = ask();
  if (!answer) return false;  // cancelled: nothing changes
  session.dontAskPassword = answer->dontAskAgain;
  const std::string ansi = Utf8ToAnsi(answer->typedUtf8).substr(0, kMaxPasswordBytes);
  const std::optional<std::string> form = PasswordFormThatReads(session.archive.get(), entry, ansi, answer->typedUtf8, checkBytes);
  // A refused password is not held, but libzip keeps it as its default, as after a
  // refused opening.
  session.password = form.value_or(std::string());
  zip_set_default_password(session.archive.get(), form ? form->c_str() : ansi.c_str());
  return !form;
}

ChapterEntryData ReadChapterEntry(BookSession& session, int row, const PasswordAsker& ask, EntryRead how,
                                  zip_uint64_t limit) {
  ChapterEntryData data;
  data.status = EntryStatus::NoInformation;
  if (!session.archive || row < 0 || static_cast<std::size_t>(row) >= session.rows.size()) return data;
  const int chapterRow = session.rows[static_cast<std::size_t>(row)].chapterRow;
  if (chapterRow < 0 || static_cast<std::size_t>(chapterRow) >= session.chapters.size()) return data;
  data.chapter = &session.chapters[static_cast<std::size_t>(chapterRow)];
  if (data.chapter->entryIndex < 0) return data;

  zip_t* archive = session.archive.get();
  const auto entry = static_cast<zip_uint64_t>(data.chapter->entryIndex);
  data.status = StatEntry(archive, entry, data.info);
  if (data.status != EntryStatus::Ok) return data;
  // An attachment is only opened for its page, so its password check reads little of it.
  const zip_uint64_t checkBytes = how == EntryRead::OpenOnly ? kAttachmentCheckBytes : data.info.size;
  if (AskPasswordIfNeeded(session, entry, data.info, ask, checkBytes)) {
    data.status = EntryStatus::CannotOpen;
    data.errorText = LibzipText(ZIP_ER_WRONGPASSWD);
    return data;
  }
  ZipFilePtr file;
  data.status = OpenEntry(archive, entry, file, data.errorText);
  if (data.status != EntryStatus::Ok) {
    // A refused password is forgotten, so the next encrypted entry asks again; libzip
    // keeps its default password until the dialog sets another.
    session.password.clear();
    return data;
  }
  if (data.info.size <= kShortEntryBytes) {
    data.status = EntryStatus::TooShort;
    return data;
  }
  if (how == EntryRead::ToShow && JudgeShowing(data.info.size, data.info.compressedSize) != ShowVerdict::Show) {
    data.status = EntryStatus::NotShown;
    return data;
  }
  if (how != EntryRead::OpenOnly)
    data.status = ReadOpenedEntry(file.get(), data.info.size, data.bytes, data.errorText, limit);
  return data;
}

}  // namespace tomelet
