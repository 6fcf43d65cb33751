#include "app/settings_record.h"

#include <cstring>

namespace tomelet {
namespace {

template <typename T>
void Put(PackedSettings& out, std::size_t offset, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i)
    out[offset + i] = static_cast<uint8_t>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

template <typename T>
T Get(std::span<const uint8_t> in, std::size_t offset) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<uint32_t>(in[offset + i]) << (8 * i);
  return static_cast<T>(value);
}

// The record's fields in file order after the first 8 bytes; all int32.
constexpr int32_t WindowSettings::*kIntFields[] = {
    &WindowSettings::languageId,    &WindowSettings::showState,    &WindowSettings::windowLeft,
    &WindowSettings::windowTop,     &WindowSettings::windowWidth,  &WindowSettings::windowHeight,
    &WindowSettings::contentsWidth, &WindowSettings::zoomLevel,    &WindowSettings::showPassword,
    &WindowSettings::helpShowState, &WindowSettings::helpLeft,     &WindowSettings::helpTop,
    &WindowSettings::helpWidth,     &WindowSettings::helpHeight,   &WindowSettings::helpTab,
    &WindowSettings::helpScrollY,   &WindowSettings::helpTopChar};
static_assert(8 + 4 * std::size(kIntFields) == kWindowSettingsSize);

}  // namespace

PackedSettings PackSettings(const WindowSettings& s) {
  PackedSettings out{};
  Put(out, 0, s.storeSettings);
  Put(out, 4, s.autoLanguage);
  Put(out, 6, s.reserved);
  std::size_t offset = 8;
  for (auto field : kIntFields) {
    Put(out, offset, s.*field);
    offset += 4;
  }
  return out;
}

std::optional<WindowSettings> UnpackSettings(std::span<const uint8_t> bytes) {
  if (bytes.size() != kWindowSettingsSize) return std::nullopt;
  WindowSettings s;
  s.storeSettings = Get<int32_t>(bytes, 0);
  s.autoLanguage = Get<uint16_t>(bytes, 4);
  s.reserved = Get<uint16_t>(bytes, 6);
  std::size_t offset = 8;
  for (auto field : kIntFields) {
    s.*field = Get<int32_t>(bytes, offset);
    offset += 4;
  }
  return s;
}

WindowSettings DefaultSettings(int screenWidth, int screenHeight, int uiPrimaryLanguage) {
  WindowSettings s;
  s.storeSettings = 0;
  s.autoLanguage = 0xFFFF;
  s.languageId = uiPrimaryLanguage;
  s.showState = 1;
  s.windowLeft = screenWidth / 2 - 20;
  s.windowTop = 0;
  s.windowWidth = screenWidth / 2 + 20;
  s.windowHeight = screenHeight;
  s.contentsWidth = 250;
  s.zoomLevel = 20;
  s.helpLeft = screenWidth / 2;
  s.helpTop = 0;
  s.helpWidth = screenWidth / 2;
  s.helpHeight = screenHeight;
  return s;
}

WindowSettings ZeroSettings() {
  const PackedSettings zero{};
  return *UnpackSettings(zero);
}

void ClampSettings(WindowSettings& s, int w, int h, int uiPrimaryLanguage) {
  if (s.windowLeft < 1) s.windowLeft = 0;
  else if (s.windowLeft > w - 20) s.windowLeft = w - 20;
  if (s.windowTop < 0) s.windowTop = 0;
  else if (s.windowTop > h - 20) s.windowTop = h - 20;
  if (s.windowWidth < 100) s.windowWidth = 100;
  else if (s.windowWidth > w) s.windowWidth = w;
  if (s.windowHeight > h) s.windowHeight = h;
  else if (s.windowHeight < 100) s.windowHeight = 100;
  // Compared in 64 bits: a stored width near INT32_MIN must not wrap around.
  if (s.contentsWidth < 2 || int64_t{s.contentsWidth} > int64_t{s.windowWidth} - 20)
    s.contentsWidth = s.windowWidth / 6;
  if (s.showState != 3) s.showState = 1;
  if (s.zoomLevel < 1 || s.zoomLevel > 50) s.zoomLevel = 20;
  if (s.autoLanguage != 0) s.languageId = uiPrimaryLanguage;
  if (s.showPassword != 1) s.showPassword = 0;
}

std::optional<int32_t> DwordValue(const std::optional<StoredValue>& value) {
  if (!value || value->type != kRegDword || value->bytes.size() != 4) return std::nullopt;
  return Get<int32_t>(value->bytes, 0);
}

std::optional<std::u16string> PathValue(const std::optional<StoredValue>& value) {
  if (!value || value->type != kRegSz || value->bytes.size() % 2 != 0) return std::nullopt;
  if (value->bytes.size() > 2 * (kMaxPathChars + 1)) return std::nullopt;
  std::u16string path;
  for (std::size_t i = 0; i < value->bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(value->bytes[i] | (value->bytes[i + 1] << 8));
    if (c == u'\0') break;
    path.push_back(c);
  }
  // 260 characters without a terminator do not fit the path buffer.
  if (path.size() > kMaxPathChars) return std::nullopt;
  return path;
}

LoadedSettings SettingsFromKey(const StoredSettings& key, int w, int h, int uiPrimaryLanguage) {
  LoadedSettings loaded;
  loaded.settings = ZeroSettings();
  // The running mark: -1 unless a run that stored its settings ended normally.
  const int32_t mark = DwordValue(key.ignoreFile).value_or(-1);
  loaded.noFileAssociation = DwordValue(key.noFileAssociation).value_or(0);
  if (auto store = DwordValue(key.storeSettings)) loaded.settings.storeSettings = *store;
  loaded.lastChapterPosition = DwordValue(key.lastChapterPosition).value_or(0);
  loaded.lastChapterFile = DwordValue(key.lastChapterFile).value_or(0);
  if (mark != -1) loaded.lastArchiveFile = PathValue(key.lastArchiveFile).value_or(std::u16string());
  if (key.windows && key.windows->type == kRegBinary) {
    if (auto record = UnpackSettings(key.windows->bytes)) loaded.settings = *record;
  }
  ClampSettings(loaded.settings, w, h, uiPrimaryLanguage);
  if (loaded.lastChapterFile < -1) loaded.lastChapterFile = -1;
  if (loaded.lastChapterPosition < 0) loaded.lastChapterPosition = 0;
  return loaded;
}

LoadedSettings SettingsWithoutKey(int w, int h, int uiPrimaryLanguage) {
  LoadedSettings loaded;
  loaded.settings = DefaultSettings(w, h, uiPrimaryLanguage);
  return loaded;
}

std::vector<uint8_t> DwordBytes(int32_t value) {
  std::vector<uint8_t> bytes(4);
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
  return bytes;
}

std::vector<uint8_t> PathBytes(const std::u16string& path) {
  std::vector<uint8_t> bytes;
  bytes.reserve(2 * path.size());
  for (char16_t c : path) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

}  // namespace tomelet
