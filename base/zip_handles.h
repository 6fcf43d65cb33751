#pragma once
// Owners for libzip handles.
#include <zip.h>

#include <memory>

namespace tomelet {

struct ZipArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }  // read-only: nothing to write back
};
struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

using ZipArchivePtr = std::unique_ptr<zip_t, ZipArchiveCloser>;
using ZipFilePtr = std::unique_ptr<zip_file_t, ZipFileCloser>;

}  // namespace tomelet
