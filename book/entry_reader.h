#pragma once
// Reading one archive entry whole into memory, checked: the steps (information, opening,
// reading) are separate so that a caller can ask for a password between them.
#include <zip.h>

#include <functional>
#include <string>

#include "base/zip_handles.h"

namespace tomelet {

enum class EntryStatus {
  Ok = 0,
  NoInformation = -1,  // zip_stat_index failed or gave no size
  CannotOpen = -2,     // zip_fopen_index failed (wrong or missing password, unsupported method, ...)
  CannotRead = -3,     // read error, CRC error, or fewer or more bytes than declared
  TooLarge = -4,       // the declared size is beyond the limit or cannot be allocated
  TooShort = -5,       // opened, but 3 bytes or fewer: nothing to show or save
  NotShown = -6,       // opened, but too large or packed too far to be shown (book/show_rule.h)
};

// What zip_stat_index tells about an entry.
struct EntryInfo {
  zip_uint64_t size = 0;              // uncompressed size as declared in the archive
  zip_uint64_t compressedSize = 0;    // size of the data in the archive (0 when not known)
  zip_uint16_t encryptionMethod = 0;  // ZIP_EM_NONE (0) when not encrypted
};

// The largest entry read into memory by default: 1 GiB in a 32-bit process, 2 GiB in a
// 64-bit one. Entries that declare more (a damaged archive, a zip bomb) are refused.
zip_uint64_t DefaultEntrySizeLimit();

// libzip's text for one of its error codes.
std::string LibzipText(int code);

// Size and encryption method of an entry.
EntryStatus StatEntry(zip_t* archive, zip_uint64_t entry, EntryInfo& info);

// Opens an entry with the archive's default password. On failure `file` is empty and
// `errorText` holds libzip's text for the archive (zip_strerror).
EntryStatus OpenEntry(zip_t* archive, zip_uint64_t entry, ZipFilePtr& file, std::string& errorText);

// Reads an opened entry to its end into `bytes`; `size` is the size its information
// declared. Anything but exactly `size` bytes with a good checksum is a failure: then
// `bytes` is empty and `errorText` holds libzip's text for what went wrong.
EntryStatus ReadOpenedEntry(zip_file_t* file, zip_uint64_t size, std::string& bytes, std::string& errorText,
                            zip_uint64_t limit = DefaultEntrySizeLimit());

// Reads at most `most` bytes of an opened entry from its start into `bytes` (less when the
// entry ends first). When the entry ends within them, the declared `size` and the
// checksum are checked as ReadOpenedEntry does; `complete` tells whether it did.
EntryStatus ReadOpenedEntryStart(zip_file_t* file, zip_uint64_t size, zip_uint64_t most, std::string& bytes,
                                 bool& complete, std::string& errorText);

// The same without keeping the data: it goes through a small buffer.
EntryStatus DrainOpenedEntry(zip_file_t* file, zip_uint64_t size, zip_uint64_t most, bool& complete,
                             std::string& errorText);

// Runs after the entry's information is known and just before it is opened (where the
// program asks for a password).
using BeforeOpenHook = std::function<void(zip_uint64_t entry, const EntryInfo& info)>;

struct EntryData {
  EntryStatus status = EntryStatus::NoInformation;
  EntryInfo info;
  std::string bytes;      // the whole entry when status is Ok
  std::string errorText;  // libzip's text when opening or reading failed
};

// The steps above in a row: information, hook, opening, reading.
EntryData ReadEntry(zip_t* archive, zip_uint64_t entry, const BeforeOpenHook& beforeOpen = {},
                    zip_uint64_t limit = DefaultEntrySizeLimit());

}  // namespace tomelet
