#include "tests/support/bad_books.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"

namespace tomelet::test {
namespace {

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

// Writes the book, then lets `damage` change its bytes.
void Write(const std::string& path, const BookWriter& book, const std::function<void(std::string&)>& damage = {}) {
  book.Write(path);
  if (!damage) return;
  std::string zip = ReadFileBytes(path);
  damage(zip);
  WriteFileBytes(path, zip);
}

}  // namespace

std::vector<std::string> WriteBadBooks(const std::string& dir, const std::vector<std::string>& only) {
  const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> books = {
      {"overlapping", [](const std::string& p) {  // the second entry's header points at the first one's data
         Write(p, BookWriter().Add("01 A.rtf", Rtf(std::string(3000, 'a'))).Add("02 B.rtf", Rtf("b")), [](std::string& z) {
           PutLe(z, FindEntry(z, "02 B.rtf").central + 42, static_cast<std::uint32_t>(FindEntry(z, "01 A.rtf").local), 4);
         });
       }},
      {"bomb", [](const std::string& p) {
         Write(p, BookWriter().Add("01 Bomb.rtf", "{\\rtf1 " + std::string(kBombBytes - 8, 'a') + "}"));
       }},
      {"many", [](const std::string& p) {
         BookWriter book;
         char name[16];
         for (int i = 0; i < 100000; ++i) {
           std::snprintf(name, sizeof name, "%06d.rtf", i);
           book.AddStored(name, "{\\rtf1}");
         }
         Write(p, book);
       }},
      {"long-name", [](const std::string& p) {
         Write(p, BookWriter().Add("01 " + std::string(59993, 'n') + ".rtf", Rtf("long")));
       }},
      {"long-index", [](const std::string& p) {
         Write(p, BookWriter().Add("#INDEX.TXT", "01 " + std::string(30 << 20, 'i')).Add("01", Rtf("one")));
       }},
      {"names", [](const std::string& p) {
         Write(p, BookWriter().Add("..\\..\\Startup\\run.bat", "@echo off").Add("C:\\x.bat", "@echo off")
                      .Add("004 a:b.rtf", Rtf("stream")).Add("CON.rtf", Rtf("device")).Add("nul", "data"));
       }},
      {"deep", [](const std::string& p) {
         const auto nested = [](std::size_t depth, const char* text) {
           return "{\\rtf1 " + std::string(depth - 1, '{') + text + std::string(depth, '}');
         };
         Write(p, BookWriter().Add("01 Deep.rtf", nested(100000, "deep")).Add("02 Limit.rtf", nested(32, "limit")));
       }},
      {"urtf-deep", [](const std::string& p) {
         Write(p, BookWriter().Add("01 Deep.rtf", " {\\urtf1 " + std::string(99999, '{') + "deep" + std::string(100000, '}')));
       }},
      {"index-bomb", [](const std::string& p) {  // 20 million lines naming one chapter
         std::string index;
         for (int i = 0; i < 20000000; ++i) index += "1 a.rtf\n";
         Write(p, BookWriter().Add("#INDEX.TXT", index).Add("1", Rtf("one")));
       }},
      {"dense", [](const std::string& p) {  // every other character a hit
         std::string text;
         for (std::size_t i = 0; i < kDenseHits; ++i) text += "e ";
         Write(p, BookWriter().Add("01 Dense.rtf", Rtf(text)).Add("02 After.rtf", Rtf("e")));
       }},
  };
  std::vector<std::string> written;
  for (const auto& [key, write] : books) {
    if (!only.empty() && std::find(only.begin(), only.end(), key) == only.end()) continue;
    write(dir + "/" + key + ".tmk");
    written.push_back(key);
  }
  return written;
}

}  // namespace tomelet::test
