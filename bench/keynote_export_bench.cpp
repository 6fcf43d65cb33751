// The KeyNote export against its floor: a 200-chapter book (every tenth entry a picture)
// exported whole to a file, next to bare libzip reading the same entries plus writing the
// same number of bytes. Pictures go through a stand-in converter (the hexadecimal of the
// bytes, about the size GDI+'s bitmap text would have for a compressed picture), since the
// real one is Windows-only. Afterwards the peak memory of exporting a book with one 100 MB
// chapter is measured in a child process.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench/times_reporter.h"
#include "book/book_session.h"
#include "output/keynote_writer.h"
#include "output/picture_document.h"

namespace {

using namespace tomelet;
namespace fs = std::filesystem;

// A sink onto a stdio file, as the Windows writer is onto its file.
class StdioSink final : public FileSink {
 public:
  explicit StdioSink(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~StdioSink() override {
    if (file_) std::fclose(file_);
  }
  bool Write(std::string_view bytes) override {
    written += bytes.size();
    return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  }
  std::size_t written = 0;

 private:
  std::FILE* file_;
};

std::string Chapter(std::mt19937& random, std::size_t size) {
  static const char* const kWords[] = {"the ", "Tomelet ", "book ", "chapter ", "\\par ", "reads ", "quietly "};
  std::string text = "{\\rtf1\\ansi ";
  while (text.size() < size) text += kWords[random() % 7];
  return text + "}";
}

struct Book {
  fs::path dir = fs::temp_directory_path() / ("tomelet-export-bench-" + std::to_string(getpid()));
  std::string path, out;
  Book() {
    fs::create_directories(dir);
    path = (dir / "book.tmk").string();
    out = (dir / "book.knt").string();
  }
  ~Book() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
};

bool WriteBook(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) return false;
  for (const auto& [name, data] : entries) {
    zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
    if (zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) zip_source_free(source);
  }
  return zip_close(zip) == 0;
}

std::vector<std::pair<std::string, std::string>> TwoHundredChapters() {
  std::mt19937 random(7);
  std::vector<std::pair<std::string, std::string>> entries;
  char name[32];
  for (int i = 1; i <= 200; ++i) {
    if (i % 10 == 0) {
      std::string picture(40 * 1024, '\0');
      for (char& c : picture) c = static_cast<char>(random());
      std::snprintf(name, sizeof name, "%03d-1 Picture.png", i);
      entries.emplace_back(name, std::move(picture));
    } else {
      std::snprintf(name, sizeof name, "%03d Chapter.rtf", i);
      entries.emplace_back(name, Chapter(random, 20 * 1024 + 512 * (i % 40)));
    }
  }
  return entries;
}

std::optional<std::string> StandInPicture(std::string encoded) {
  StringSink text;
  WritePictureDocument(text, encoded, true);
  return std::move(text.text);
}

std::vector<KeyNoteNode> AllNodes(const BookSession& session) {
  std::vector<KeyNoteNode> nodes;
  for (std::size_t r = 0; r < session.rows.size(); ++r) {
    const std::string& text = session.rows[r].displayText;
    nodes.push_back({text[0] - '0', text[1] == '3', text.substr(2), static_cast<int>(r)});
  }
  return nodes;
}

Book& TheBook() {
  static Book book;
  static const bool written = WriteBook(book.path, TwoHundredChapters());
  (void)written;
  return book;
}

std::size_t g_exportedBytes = 0;

void KeyNoteExport(benchmark::State& state) {
  Book& book = TheBook();
  BookSession session;
  OpenBookFile(session, std::wstring(book.path.begin(), book.path.end()), false, {});
  const std::vector<KeyNoteNode> nodes = AllNodes(session);
  for (auto _ : state) {
    StdioSink sink(book.out);
    const KeyNoteResult result = WriteKeyNote(sink, session, "book.knt", nodes, {}, StandInPicture);
    if (result.state != ExportState::Done) state.SkipWithError("export failed");
    g_exportedBytes = sink.written;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_exportedBytes));
}

// libzip alone: every entry opened and read whole, then the same number of bytes written.
void LibzipReadAndWrite(benchmark::State& state) {
  Book& book = TheBook();
  int error = 0;
  zip_t* zip = zip_open(book.path.c_str(), ZIP_RDONLY, &error);
  const zip_int64_t count = zip_get_num_entries(zip, 0);
  std::vector<char> filler(1 << 20, 'x');
  for (auto _ : state) {
    std::FILE* out = std::fopen(book.out.c_str(), "wb");
    std::size_t read = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
      zip_stat_t info;
      zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &info);
      std::string bytes(info.size, '\0');
      zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
      read += static_cast<std::size_t>(zip_fread(file, bytes.data(), info.size));
      zip_fclose(file);
      std::fwrite(bytes.data(), 1, bytes.size(), out);
    }
    for (std::size_t left = g_exportedBytes > read ? g_exportedBytes - read : 0; left > 0;) {
      const std::size_t n = std::min(left, filler.size());
      std::fwrite(filler.data(), 1, n, out);
      left -= n;
    }
    std::fclose(out);
  }
  zip_close(zip);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * g_exportedBytes));
}

BENCHMARK(KeyNoteExport)->Unit(benchmark::kMillisecond);
BENCHMARK(LibzipReadAndWrite)->Unit(benchmark::kMillisecond);

void PrintSpeed(const std::map<std::string, double>& times) {
  const double ours = times.at("KeyNoteExport"), floor = times.at("LibzipReadAndWrite");
  std::printf("\n200 chapters, %.1f MB written: export %.2f ms, libzip read + write %.2f ms; "
              "speed %.2fx of libzip's (target >= 0.8x)\n",
              g_exportedBytes / 1e6, ours, floor, floor / ours);
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return -1;
}

// Exports a book with one 100 MB chapter in a child process and prints its peak memory
// above what it held before the export.
void PeakMemoryOfOneLargeChapter() {
  Book book;
  std::mt19937 random(11);
  const std::size_t size = 100u << 20;
  if (!WriteBook(book.path, {{"01 Large.rtf", Chapter(random, size)}})) return;
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    BookSession session;
    OpenBookFile(session, std::wstring(book.path.begin(), book.path.end()), false, {});
    const std::vector<KeyNoteNode> nodes = AllNodes(session);
    const long before = StatusKb("VmRSS:");
    StdioSink sink(book.out);
    const KeyNoteResult result = WriteKeyNote(sink, session, "book.knt", nodes, {}, StandInPicture);
    const long peak = StatusKb("VmHWM:");
    std::printf("one 100 MB chapter: state %d, peak memory %.1f MB above the %.1f MB before the export "
                "(%.2f x the entry)\n",
                static_cast<int>(result.state), (peak - before) / 1024.0, before / 1024.0,
                (peak - before) * 1024.0 / static_cast<double>(size));
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  return tomelet::bench::RunAndPrint(argc, argv, [](const std::map<std::string, double>& times) {
    PrintSpeed(times);
    PeakMemoryOfOneLargeChapter();
  });
}
