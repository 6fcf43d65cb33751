// Writes the small books of the bad-input corpus into the folder given as argument.
#include "tests/support/bad_books.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  tomelet::test::WriteBadBooks(argv[1], {"overlapping", "names", "long-name"});
  return 0;
}
