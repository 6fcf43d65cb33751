#pragma once
// Where saving a chapter and the KeyNote export put their bytes. On Windows it is a file
// written beside the target and put in its place at the end (output/safe_file.h); the
// tests and benchmarks collect the bytes in memory.
#include <string>
#include <string_view>

namespace tomelet {

class FileSink {
 public:
  virtual ~FileSink() = default;
  // Appends the bytes; false when they could not all be written.
  virtual bool Write(std::string_view bytes) = 0;
};

// Collects everything written.
class StringSink final : public FileSink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

}  // namespace tomelet
