#pragma once
// Writing a file without ever losing the one it replaces: the bytes go to a new file in
// the target's folder, which is flushed and then moved over the target in one step. Until
// then the target is untouched; a writer that is not committed removes its file.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/win_handles.h"
#include "output/file_sink.h"

namespace tomelet {

class SafeFileWriter final : public FileSink {
 public:
  explicit SafeFileWriter(std::wstring target);
  ~SafeFileWriter() override;
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Makes the new file beside the target. Fails when the folder is missing, the target
  // cannot be written (read-only, a folder, in use) or no file can be made there.
  bool Create();
  bool Write(std::string_view bytes) override;
  // Flushes the file and puts it in the target's place.
  bool Commit();

  // The system's error code of the step that failed.
  DWORD error() const { return error_; }
  // The file being written (empty before Create).
  const std::wstring& temporaryPath() const { return temp_; }

 private:
  bool Fail(DWORD error);
  std::wstring target_;
  std::wstring temp_;
  UniqueHandle file_;
  DWORD error_ = ERROR_SUCCESS;
  bool committed_ = false;
};

}  // namespace tomelet
