#pragma once
// The File menu's list of the books read last, free of any window system: the newest part
// of the reading places, with labels that tell books of one file name apart.
#include <cstddef>
#include <string>
#include <vector>

#include "app/reading_places.h"

namespace tomelet {

inline constexpr std::size_t kRecentBooksShown = 9;

// The books to list, newest first: the open book, then the places' books, each once, at
// most kRecentBooksShown.
std::vector<std::u16string> RecentBooks(const BookPlaces& places, const std::u16string& openBook);

// A label for each path: its file name, or, where another listed book has the same file
// name, as many of its last folders as tell them apart ("Old\a.tmk"). Paths are
// backslash-separated; file names compared by the system's case folding.
std::vector<std::u16string> RecentLabels(const std::vector<std::u16string>& paths);

// A menu item's text: "&1 " to "&9 " before the first nine labels, none after; the
// label's own ampersands doubled so that they show.
std::u16string NumberedMenuText(std::size_t index, const std::u16string& label);

}  // namespace tomelet
