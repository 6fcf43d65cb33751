#include "app/reading_places.h"

#include <algorithm>

#include "base/text.h"

namespace tomelet {
namespace {

// The newest place of `from` that differs from `current`; the ones passed over go.
std::optional<ReadingPlace> TakeOther(std::vector<ReadingPlace>& from, const ReadingPlace& current) {
  while (!from.empty() && from.back() == current) from.pop_back();
  if (from.empty()) return std::nullopt;
  const ReadingPlace place = from.back();
  from.pop_back();
  return place;
}

bool SamePath(const std::u16string& a, const std::u16string& b) { return EqualIgnoringCase(a, b); }

int32_t Int32At(const std::vector<uint8_t>& bytes, std::size_t offset) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
  return static_cast<int32_t>(value);
}

constexpr std::size_t kNumbersSize = 8;

}  // namespace

void PlaceHistory::Visit(const ReadingPlace& left) {
  forward_.clear();
  if (!back_.empty() && back_.back() == left) return;
  back_.push_back(left);
  if (back_.size() > kLimit) back_.erase(back_.begin());
}

std::optional<ReadingPlace> PlaceHistory::Back(const ReadingPlace& current) {
  const std::optional<ReadingPlace> place = TakeOther(back_, current);
  if (place) forward_.push_back(current);
  return place;
}

std::optional<ReadingPlace> PlaceHistory::Forward(const ReadingPlace& current) {
  const std::optional<ReadingPlace> place = TakeOther(forward_, current);
  if (place) back_.push_back(current);
  return place;
}

void BookPlaces::Remember(const BookPlace& place) {
  Forget(place.path);
  places_.insert(places_.begin(), place);
  if (places_.size() > kLimit) places_.resize(kLimit);
}

void BookPlaces::Forget(const std::u16string& path) {
  std::erase_if(places_, [&](const BookPlace& p) { return SamePath(p.path, path); });
}

std::optional<BookPlace> BookPlaces::Find(const std::u16string& path) const {
  const auto found = std::ranges::find_if(places_, [&](const BookPlace& p) { return SamePath(p.path, path); });
  if (found == places_.end()) return std::nullopt;
  return *found;
}

std::vector<StoredValue> BookPlaces::ToValues() const {
  std::vector<StoredValue> values;
  for (const BookPlace& place : places_) {
    StoredValue value{kRegBinary, DwordBytes(place.row)};
    const std::vector<uint8_t> firstChar = DwordBytes(place.firstChar), path = PathBytes(place.path);
    value.bytes.insert(value.bytes.end(), firstChar.begin(), firstChar.end());
    value.bytes.insert(value.bytes.end(), path.begin(), path.end());
    values.push_back(std::move(value));
  }
  return values;
}

BookPlaces BookPlaces::FromValues(const std::vector<std::optional<StoredValue>>& values) {
  BookPlaces places;
  for (const std::optional<StoredValue>& value : values) {
    if (places.places_.size() == kLimit) break;
    if (!value || value->type != kRegBinary) continue;
    const std::vector<uint8_t>& bytes = value->bytes;
    const std::size_t pathBytes = bytes.size() < kNumbersSize ? 0 : bytes.size() - kNumbersSize;
    if (pathBytes == 0 || pathBytes % 2 != 0 || pathBytes > 2 * kMaxPathChars) continue;
    BookPlace place{{}, Int32At(bytes, 0), Int32At(bytes, 4)};
    for (std::size_t i = kNumbersSize; i < bytes.size(); i += 2)
      place.path.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    if (place.row < 0 || place.firstChar < 0 || place.path.find(u'\0') != std::u16string::npos) continue;
    if (places.Find(place.path)) continue;  // the newer one counts
    places.places_.push_back(std::move(place));
  }
  return places;
}

}  // namespace tomelet
