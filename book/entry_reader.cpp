#include "book/entry_reader.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

namespace tomelet {
namespace {

// Data is read in steps of this size into storage reserved for the declared size, so an
// entry that declares much more than it holds never touches more memory than it delivers.
constexpr zip_uint64_t kReadStep = zip_uint64_t{4} << 20;

EntryStatus Fail(EntryStatus status, std::string& bytes, std::string& errorText, std::string text) {
  std::string().swap(bytes);
  errorText = std::move(text);
  return status;
}

// Reads on from `done` bytes read, to at most `most`, handing each piece to `take`; then
// checks the end when the entry ends within `most`.
template <typename Take>
EntryStatus ReadPieces(zip_file_t* file, zip_uint64_t size, zip_uint64_t most, char* buffer, std::size_t bufferSize,
                       bool& complete, std::string& errorText, Take take) {
  complete = false;
  errorText.clear();
  if (!file) {
    errorText = LibzipText(ZIP_ER_INVAL);
    return EntryStatus::CannotRead;
  }
  const zip_uint64_t wanted = std::min(size, most);
  zip_uint64_t done = 0;
  while (done < wanted) {
    const auto step = static_cast<std::size_t>(std::min<zip_uint64_t>(wanted - done, bufferSize));
    const zip_int64_t got = zip_fread(file, buffer, step);
    if (got < 0) {
      errorText = zip_file_strerror(file);
      return EntryStatus::CannotRead;
    }
    if (got == 0) {
      errorText = LibzipText(ZIP_ER_EOF);
      return EntryStatus::CannotRead;
    }
    take(buffer, static_cast<std::size_t>(got));
    done += static_cast<zip_uint64_t>(got);
  }
  if (done < size) return EntryStatus::Ok;  // stopped before the end: nothing more to tell
  char extra = 0;  // the checksum is checked when the end is reached
  const zip_int64_t more = zip_fread(file, &extra, 1);
  if (more < 0) errorText = zip_file_strerror(file);
  else if (more > 0) errorText = LibzipText(ZIP_ER_INCONS);
  if (more != 0) return EntryStatus::CannotRead;
  complete = true;
  return EntryStatus::Ok;
}

}  // namespace

std::string LibzipText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}


zip_uint64_t DefaultEntrySizeLimit() {
  return sizeof(void*) <= 4 ? zip_uint64_t{1} << 30 : zip_uint64_t{2} << 30;
}

EntryStatus StatEntry(zip_t* archive, zip_uint64_t entry, EntryInfo& info) {
  info = {};
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (!archive || zip_stat_index(archive, entry, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
    return EntryStatus::NoInformation;
  info.size = stat.size;
  if (stat.valid & ZIP_STAT_COMP_SIZE) info.compressedSize = stat.comp_size;
  if (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) info.encryptionMethod = stat.encryption_method;
  return EntryStatus::Ok;
}

EntryStatus OpenEntry(zip_t* archive, zip_uint64_t entry, ZipFilePtr& file, std::string& errorText) {
  errorText.clear();
  file.reset();
  // An encryption method libzip cannot decrypt is refused here with libzip's text for it:
  // libzip 1.7 reports it too, but leaks memory on the way when a password is set.
  EntryInfo info;
  if (archive && StatEntry(archive, entry, info) == EntryStatus::Ok && info.encryptionMethod != ZIP_EM_NONE &&
      !zip_encryption_method_supported(info.encryptionMethod, 0)) {
    errorText = LibzipText(ZIP_ER_ENCRNOTSUPP);
    return EntryStatus::CannotOpen;
  }
  file.reset(archive ? zip_fopen_index(archive, entry, 0) : nullptr);
  if (file) return EntryStatus::Ok;
  errorText = archive ? zip_strerror(archive) : LibzipText(ZIP_ER_INVAL);
  return EntryStatus::CannotOpen;
}

EntryStatus ReadOpenedEntry(zip_file_t* file, zip_uint64_t size, std::string& bytes, std::string& errorText,
                            zip_uint64_t limit) {
  bytes.clear();
  errorText.clear();
  if (!file) return Fail(EntryStatus::CannotRead, bytes, errorText, LibzipText(ZIP_ER_INVAL));
  if (size > limit || size > bytes.max_size())
    return Fail(EntryStatus::TooLarge, bytes, errorText, LibzipText(ZIP_ER_MEMORY));
  try {
    bytes.reserve(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return Fail(EntryStatus::TooLarge, bytes, errorText, LibzipText(ZIP_ER_MEMORY));
  } catch (const std::length_error&) {
    return Fail(EntryStatus::TooLarge, bytes, errorText, LibzipText(ZIP_ER_MEMORY));
  }
  while (bytes.size() < size) {
    const std::size_t done = bytes.size();
    const auto step = static_cast<std::size_t>(std::min<zip_uint64_t>(size - done, kReadStep));
    bytes.resize(done + step);  // within the reserved storage: no allocation
    const zip_int64_t got = zip_fread(file, bytes.data() + done, step);
    if (got < 0) return Fail(EntryStatus::CannotRead, bytes, errorText, zip_file_strerror(file));
    bytes.resize(done + static_cast<std::size_t>(got));
    if (got == 0)  // the data ended before the declared size
      return Fail(EntryStatus::CannotRead, bytes, errorText, LibzipText(ZIP_ER_EOF));
  }
  // libzip checks the CRC when it reaches the end of the data, so read on to the end.
  char extra = 0;
  const zip_int64_t more = zip_fread(file, &extra, 1);
  if (more < 0) return Fail(EntryStatus::CannotRead, bytes, errorText, zip_file_strerror(file));
  if (more > 0) return Fail(EntryStatus::CannotRead, bytes, errorText, LibzipText(ZIP_ER_INCONS));
  return EntryStatus::Ok;
}

EntryStatus ReadOpenedEntryStart(zip_file_t* file, zip_uint64_t size, zip_uint64_t most, std::string& bytes,
                                 bool& complete, std::string& errorText) {
  bytes.clear();
  try {
    std::vector<char> buffer(static_cast<std::size_t>(std::min<zip_uint64_t>(kReadStep, std::max<zip_uint64_t>(most, 1))));
    const EntryStatus status = ReadPieces(file, size, most, buffer.data(), buffer.size(), complete, errorText,
                                          [&bytes](const char* data, std::size_t n) { bytes.append(data, n); });
    if (status != EntryStatus::Ok) std::string().swap(bytes);
    return status;
  } catch (const std::bad_alloc&) {
    complete = false;
    return Fail(EntryStatus::TooLarge, bytes, errorText, LibzipText(ZIP_ER_MEMORY));
  }
}

EntryStatus DrainOpenedEntry(zip_file_t* file, zip_uint64_t size, zip_uint64_t most, bool& complete,
                             std::string& errorText) {
  complete = false;
  try {
    std::vector<char> buffer(std::size_t{64} << 10);
    return ReadPieces(file, size, most, buffer.data(), buffer.size(), complete, errorText,
                      [](const char*, std::size_t) {});
  } catch (const std::bad_alloc&) {
    errorText = LibzipText(ZIP_ER_MEMORY);
    return EntryStatus::TooLarge;
  }
}

EntryData ReadEntry(zip_t* archive, zip_uint64_t entry, const BeforeOpenHook& beforeOpen, zip_uint64_t limit) {
  EntryData data;
  data.status = StatEntry(archive, entry, data.info);
  if (data.status != EntryStatus::Ok) return data;
  if (beforeOpen) beforeOpen(entry, data.info);
  ZipFilePtr file;
  data.status = OpenEntry(archive, entry, file, data.errorText);
  if (data.status != EntryStatus::Ok) return data;
  data.status = ReadOpenedEntry(file.get(), data.info.size, data.bytes, data.errorText, limit);
  return data;
}

}  // namespace tomelet
