#pragma once
// Damaged, huge and hostile books, written by the tests themselves (libzip, then patched
// where a writer would never go): each is a file named after its key in a folder.
#include <string>
#include <vector>

namespace tomelet::test {

// (Truncated archives, wrong CRCs, sizes of 4 GB, damaged AES codes and pictures are
// made by the tests of those readers.) The keys: overlapping, bomb (one paragraph of 50 MB
// packed into about 50 KB), many (100,000 entries), long-name (60,000 characters),
// long-index (a 30 MB index line), names ("..\", ":" and device names), deep (RTF
// chapters 100,000 and 32 groups deep), urtf-deep (one starting " {\urtf1", 100,000 deep),
// index-bomb (20 million index lines naming one chapter, about 160 KB packed), dense
// (a chapter of kDenseHits "e " pairs, then one more chapter). `only` writes just those keys.
std::vector<std::string> WriteBadBooks(const std::string& dir, const std::vector<std::string>& only = {});

// The size of the bomb's one chapter.
inline constexpr std::size_t kBombBytes = std::size_t{50} << 20;
// The hits of "e" in the dense book's first chapter.
inline constexpr std::size_t kDenseHits = 1500000;

}  // namespace tomelet::test
