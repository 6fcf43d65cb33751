#include "app/settings_store.h"

#include <windows.h>
#include <shlwapi.h>

#include "app/book_path.h"
#include "app/language.h"
#include "app/registry.h"
#include "app/viewer.h"
#include "base/wide.h"
#include "base/dpi_scale.h"
#include "base/window_dpi.h"

namespace tomelet {
namespace {

constexpr wchar_t kIgnoreFile[] = L"IgnoreFile";
constexpr wchar_t kStoreSettings[] = L"StoreSettings";
constexpr wchar_t kNoFileAssociation[] = L"NoFileAssociation";
constexpr wchar_t kLastArchiveFile[] = L"LastArchiveFile";
constexpr wchar_t kLastChapterFile[] = L"LastChapterFile";
constexpr wchar_t kLastChapterPosition[] = L"LastChapterPosition";
constexpr wchar_t kWindows[] = L"Windows";
constexpr wchar_t kFindAllWindow[] = L"FindAllWindow";

// Values larger than this are never a setting of ours; they are not even read.
constexpr DWORD kLargestValue = 4096;


StoredSettings ReadKey(HKEY key) {
  StoredSettings stored;
  // The running mark is read first and set at once, before anything else can fail.
  stored.ignoreFile = registry::Read(key, kIgnoreFile, kLargestValue);
  registry::WriteDword(key, kIgnoreFile, -1);
  stored.noFileAssociation = registry::Read(key, kNoFileAssociation, kLargestValue);
  stored.storeSettings = registry::Read(key, kStoreSettings, kLargestValue);
  stored.lastChapterPosition = registry::Read(key, kLastChapterPosition, kLargestValue);
  stored.lastChapterFile = registry::Read(key, kLastChapterFile, kLargestValue);
  stored.lastArchiveFile = registry::Read(key, kLastArchiveFile, kLargestValue);
  stored.windows = registry::Read(key, kWindows, kLargestValue);
  return stored;
}

// Where the last books were left: a key of its own below ours, read at start and written
// anew at the end (a damaged value is never read larger than a place can be).
constexpr wchar_t kBookPlacesKey[] = L"Software\\Tomelet viewer\\Reading places";
constexpr DWORD kLargestBookPlace = 8 + 2 * kMaxPathChars;

// A key of values "1", "2", ... below ours: read up to `count` of them, each no larger
// than `largest`; written anew (the key only when there is something to keep).
std::vector<std::optional<StoredValue>> ReadNumberedValues(const wchar_t* path, std::size_t count, DWORD largest) {
  std::vector<std::optional<StoredValue>> values;
  if (UniqueKey key = registry::Open(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE))
    for (std::size_t i = 0; i < count; ++i) values.push_back(registry::Read(key.get(), std::to_wstring(i + 1).c_str(), largest));
  return values;
}

void WriteNumberedValues(const wchar_t* path, const std::vector<StoredValue>& values) {
  SHDeleteKeyW(HKEY_CURRENT_USER, path);
  UniqueKey key = values.empty() ? nullptr : registry::Create(HKEY_CURRENT_USER, path, KEY_WRITE);
  for (std::size_t i = 0; key && i < values.size(); ++i)
    registry::Write(key.get(), std::to_wstring(i + 1).c_str(), REG_BINARY, values[i].bytes);
}

BookPlaces ReadBookPlaces() {
  const std::vector<std::optional<StoredValue>> values =
      ReadNumberedValues(kBookPlacesKey, BookPlaces::kLimit, kLargestBookPlace);
  // Made whole again: places kept by an older form of the path find their book.
  const BookPlaces stored = BookPlaces::FromValues(values);
  BookPlaces places;
  for (auto place = stored.places().rbegin(); place != stored.places().rend(); ++place) {
    const std::wstring whole = WholeBookPath(ToWide(place->path));
    places.Remember({ToU16(whole.substr(0, kMaxPathChars)), place->row, place->firstChar});
  }
  return places;
}

// The bookmarks: one value per book, in a key of their own; each value is read no larger
// than a book's bookmarks can be and checked whole.
constexpr wchar_t kBookmarksKey[] = L"Software\\Tomelet viewer\\Bookmarks";

Bookmarks ReadBookmarks() {
  return Bookmarks::FromValues(ReadNumberedValues(kBookmarksKey, Bookmarks::kBookLimit, Bookmarks::kLargestValue));
}

bool WriteKey() {
  const Program& program = TheProgram();
  UniqueKey key = registry::Create(HKEY_CURRENT_USER, kSettingsKey, KEY_WRITE);
  if (!key) return false;
  const HKEY k = key.get();
  const PackedSettings record = PackSettings(program.settings);
  bool written = registry::WriteDword(k, kIgnoreFile, 0);
  written &= registry::WriteDword(k, kStoreSettings, program.settings.storeSettings);
  written &= registry::WriteDword(k, kNoFileAssociation, program.noFileAssociation);
  // The registry stores the terminator that follows the characters whether it is counted
  // or not (it looks one character past the count); counted, it is never looked for
  // beyond the end of the buffer.
  std::vector<uint8_t> path = PathBytes(ToU16(program.place.lastArchiveFile.substr(0, kMaxPathChars)));
  path.insert(path.end(), {0, 0});
  written &= registry::Write(k, kLastArchiveFile, REG_SZ, path);
  written &= registry::WriteDword(k, kLastChapterFile, program.place.lastChapterFile);
  written &= registry::WriteDword(k, kLastChapterPosition, program.place.lastChapterPosition);
  written &= registry::Write(k, kWindows, REG_BINARY, std::vector<uint8_t>(record.begin(), record.end()));
  if (program.findAllPlace) written &= registry::Write(k, kFindAllWindow, REG_BINARY, PackPlace(*program.findAllPlace));
  // The books' places and bookmarks never keep the settings from counting as written.
  WriteNumberedValues(kBookPlacesKey, program.bookPlaces.ToValues());
  WriteNumberedValues(kBookmarksKey, program.bookmarks.ToValues());
  return written;
}

void DeleteKey() {
  if (RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey) == ERROR_SUCCESS) return;
  // A key with sub-keys (added by hand) needs the deep deletion.
  if (SHDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey) == ERROR_SUCCESS) return;
  RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace

void LoadSettings() {
  Program& program = TheProgram();
  // The record is in 96-DPI units (as the screen's size is taken here).
  const int dpi = SystemDpi();
  const int w = UnscaleForDpi(GetSystemMetrics(SM_CXSCREEN), dpi), h = UnscaleForDpi(GetSystemMetrics(SM_CYSCREEN), dpi);
  const int language = UserUiPrimaryLanguage();
  LoadedSettings loaded;
  if (UniqueKey key = registry::Open(HKEY_CURRENT_USER, kSettingsKey, KEY_ALL_ACCESS)) {
    loaded = SettingsFromKey(ReadKey(key.get()), w, h, language);
    const std::optional<StoredValue> findAll = registry::Read(key.get(), kFindAllWindow, kLargestValue);
    if (findAll && findAll->type == kRegBinary) program.findAllPlace = UnpackPlace(findAll->bytes);
    program.bookPlaces = ReadBookPlaces();
    program.bookmarks = ReadBookmarks();
  } else
    loaded = SettingsWithoutKey(w, h, language);
  program.settings = loaded.settings;
  program.place.lastArchiveFile = ToWide(loaded.lastArchiveFile);
  program.place.lastChapterFile = loaded.lastChapterFile;
  program.place.lastChapterPosition = loaded.lastChapterPosition;
  program.noFileAssociation = loaded.noFileAssociation;
}

bool SaveSettings() {
  if (TheProgram().settings.storeSettings == -1) return WriteKey();
  DeleteKey();
  return false;
}

}  // namespace tomelet
