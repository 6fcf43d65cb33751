// Opening a book: bare libzip (open the archive, list every name) against our opening
// with the table of contents built, for books of 1,000, 10,000 and 100,000 entries, with
// and without an index file. The books are written once into a temporary folder. After
// the runs the ratio ours / bare libzip is printed for every book.
#include <benchmark/benchmark.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/times_reporter.h"
#include "book/index_file.h"
#include "book/table_of_contents.h"

namespace {

using namespace tomelet;

// One of the few kinds of name a real book has: chapters, sub-chapters, continuations,
// pictures and attachments.
std::string Title(int i) {
  static const char* const kTitles[] = {"Chapter", "Die Stra\xC3\x9F\x65", "Notes on the text",
                                        "\xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0"};
  return std::string(kTitles[i % 4]) + " " + std::to_string(i);
}

std::string Suffix(int i) {
  switch (i % 10) {
    case 7: return ".png";
    case 8: return ".pdf";
    default: return ".rtf";
  }
}

class Books {
 public:
  Books() {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / ("tomelet-bench-" + std::to_string(random()));
    std::filesystem::create_directories(dir_);
  }
  ~Books() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // The book of `entries` entries, written on first use.
  const std::string& Path(int entries, bool indexed) {
    const auto key = std::make_pair(entries, indexed);
    auto found = paths_.find(key);
    if (found != paths_.end()) return found->second;
    const std::string path =
        (dir_ / ("book-" + std::to_string(entries) + (indexed ? "-index" : "") + ".tmk")).string();
    if (!Write(path, entries, indexed)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      std::exit(1);
    }
    return paths_.emplace(key, path).first->second;
  }

 private:
  static bool Write(const std::string& path, int entries, bool indexed) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) return false;
    static const char kData[] = "{\\rtf1\\ansi Some text of a chapter.\\par}";
    std::string index = "\xEF\xBB\xBF";
    // Archive order is shuffled so that sorting has work to do.
    std::vector<int> order(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i) order[static_cast<std::size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    for (int i : order) {
      char ordinal[16];
      std::snprintf(ordinal, sizeof ordinal, "%06d", i);
      std::string name = ordinal;
      if (!indexed) name += (i % 5 == 4 ? "-1" : "") + std::string(i % 10 == 9 ? "" : " " + Title(i)) + Suffix(i);
      zip_source_t* source = zip_source_buffer(archive, kData, sizeof kData - 1, 0);
      const zip_int64_t added = source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
      if (added < 0) {
        if (source) zip_source_free(source);
        zip_discard(archive);
        return false;
      }
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(added), ZIP_CM_STORE, 0);
    }
    if (indexed) {
      for (int i = 0; i < entries; ++i) {
        char ordinal[16];
        std::snprintf(ordinal, sizeof ordinal, "%06d", i);
        index += ordinal;
        index += i % 5 == 4 ? "-1" : "";
        index += i % 10 == 9 ? "" : " " + Title(i);
        index += Suffix(i) + "\r\n";
      }
      zip_source_t* source = zip_source_buffer(archive, index.data(), index.size(), 0);
      if (!source || zip_file_add(archive, "#INDEX.TXT", source, ZIP_FL_ENC_UTF_8) < 0) {
        if (source) zip_source_free(source);
        zip_discard(archive);
        return false;
      }
    }
    return zip_close(archive) == 0;
  }

  std::filesystem::path dir_;
  std::map<std::pair<int, bool>, std::string> paths_;
};

Books& TheBooks() {
  static Books books;
  return books;
}

void BareLibzip(benchmark::State& state) {
  const std::string& path = TheBooks().Path(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    std::size_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
      const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
      total += name ? 1 : 0;
    }
    benchmark::DoNotOptimize(total);
    zip_discard(archive);
  }
}

void OursOpenAndContents(benchmark::State& state) {
  const std::string& path = TheBooks().Path(static_cast<int>(state.range(0)), state.range(1) != 0);
  std::size_t rows = 0;
  for (auto _ : state) {
    OpenedBook book = OpenBookArchive(path);
    const TableOfContents toc = BuildTableOfContents(book.archive.get(), false);
    rows = toc.rows.size();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["rows"] = static_cast<double>(rows);
}

// A book with an index file, opened, with its index lines.
struct IndexedBook {
  explicit IndexedBook(int entries) : book(OpenBookArchive(TheBooks().Path(entries, true))) {
    const auto entry = static_cast<zip_uint64_t>(LocateIndexFile(book.archive.get()));
    text = DecodeIndexText(ReadEntry(book.archive.get(), entry).bytes);
    lines = SplitIndexLines(text);
  }
  OpenedBook book;
  std::string text;
  std::vector<std::string_view> lines;
};

// Looking up every index token: libzip's own lookup against a map of names built once.
void TokensByZipNameLocate(benchmark::State& state) {
  const IndexedBook indexed(static_cast<int>(state.range(0)));
  const OpenedBook& book = indexed.book;
  const std::vector<std::string_view>& lines = indexed.lines;
  for (auto _ : state) {
    std::string token;
    std::size_t found = 0;
    for (std::string_view line : lines) {
      token.assign(IndexLineToken(line));
      found += zip_name_locate(book.archive.get(), token.c_str(), 0) >= 0;
    }
    benchmark::DoNotOptimize(found);
  }
}

void TokensByNameMap(benchmark::State& state) {
  const IndexedBook indexed(static_cast<int>(state.range(0)));
  const OpenedBook& book = indexed.book;
  const std::vector<std::string_view>& lines = indexed.lines;
  for (auto _ : state) {
    std::unordered_map<std::string_view, zip_int64_t> names;
    const zip_int64_t count = zip_get_num_entries(book.archive.get(), 0);
    names.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i)
      if (const char* name = zip_get_name(book.archive.get(), static_cast<zip_uint64_t>(i), 0)) names.emplace(name, i);
    std::size_t found = 0;
    for (std::string_view line : lines) found += names.count(IndexLineToken(line));
    benchmark::DoNotOptimize(found);
  }
}

void BookSizes(benchmark::internal::Benchmark* b) {
  for (int entries : {1000, 10000, 100000})
    for (int indexed : {0, 1}) b->Args({entries, indexed});
  b->ArgNames({"entries", "index"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BareLibzip)->Apply(BookSizes);
BENCHMARK(OursOpenAndContents)->Apply(BookSizes);
BENCHMARK(TokensByZipNameLocate)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(TokensByNameMap)->Arg(100000)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps their times for the ratios.
void PrintRatios(const std::map<std::string, double>& times) {
  std::printf("\nours / bare libzip (real time):\n");
  const std::string prefix = "OursOpenAndContents/";
  for (const auto& [name, ours] : times) {
    if (name.rfind(prefix, 0) != 0) continue;
    const auto bare = times.find("BareLibzip/" + name.substr(prefix.size()));
    if (bare != times.end() && bare->second > 0)
      std::printf("  %-28s %8.2f ms / %8.2f ms = %.2fx\n", name.substr(prefix.size()).c_str(), ours, bare->second,
                  ours / bare->second);
  }
}

}  // namespace

int main(int argc, char** argv) { return tomelet::bench::RunAndPrint(argc, argv, PrintRatios); }
