#pragma once
// The settings record kept as the 76-byte "Windows" registry value, with its defaults
// and range rules. No registry access here.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/language.h"

namespace tomelet {


struct WindowSettings {
  int32_t storeSettings = 0;       // -1 keep the settings at exit, 0 delete them
  uint16_t autoLanguage = 0xFFFF;  // 0xFFFF follow the user's UI language, 0 fixed
  uint16_t reserved = 0;
  int32_t languageId = 0;
  int32_t showState = 1;           // 1 normal, 3 maximized
  int32_t windowLeft = 0, windowTop = 0, windowWidth = 0, windowHeight = 0;
  int32_t contentsWidth = 250;
  int32_t zoomLevel = 20;
  int32_t showPassword = 0;
  int32_t helpShowState = 0;
  int32_t helpLeft = 0, helpTop = 0, helpWidth = 0, helpHeight = 0;
  int32_t helpTab = 0;
  int32_t helpScrollY = 0;
  int32_t helpTopChar = 0;

  bool operator==(const WindowSettings&) const = default;
};

inline constexpr std::size_t kWindowSettingsSize = 76;
using PackedSettings = std::array<uint8_t, kWindowSettingsSize>;

PackedSettings PackSettings(const WindowSettings& settings);
// Only a value of exactly 76 bytes is a settings record.
std::optional<WindowSettings> UnpackSettings(std::span<const uint8_t> bytes);

// Primary language of a UI language id: every German variant gives 7.
inline int PrimaryLanguage(unsigned languageId) { return static_cast<int>(languageId & 0xFF); }

// The settings of a first start on a screen of the given size.
WindowSettings DefaultSettings(int screenWidth, int screenHeight, int uiPrimaryLanguage);

// The record as it stands when the key exists but holds no "Windows" value: all zero.
WindowSettings ZeroSettings();

// Brings a loaded record into range for the screen; also settles LanguageId when the
// language follows the system. The help window's fields stay as read: the help window
// corrects them when it opens, so a record whose help was never opened goes back as it
// came.
void ClampSettings(WindowSettings& settings, int screenWidth, int screenHeight, int uiPrimaryLanguage);


// --- the registry values of the settings key ------------------------------------------

// Registry value types, as the registry numbers them.
inline constexpr uint32_t kRegSz = 1, kRegBinary = 3, kRegDword = 4;

// Book paths hold at most 259 characters (a buffer of 260 with its terminator).
inline constexpr std::size_t kMaxPathChars = 259;

// One value as found in the key: its type and bytes.
struct StoredValue {
  uint32_t type = 0;
  std::vector<uint8_t> bytes;
};

// The values of an existing settings key; a missing value is nullopt.
struct StoredSettings {
  std::optional<StoredValue> ignoreFile, storeSettings, noFileAssociation, lastArchiveFile, lastChapterFile,
      lastChapterPosition, windows;
};

// Everything the settings key gives the program at start.
struct LoadedSettings {
  WindowSettings settings;
  std::u16string lastArchiveFile;  // empty: no book to reopen
  int32_t lastChapterFile = 0;
  int32_t lastChapterPosition = 0;
  int32_t noFileAssociation = 0;
};

// A REG_DWORD value of exactly 4 bytes; anything else counts as missing.
std::optional<int32_t> DwordValue(const std::optional<StoredValue>& value);
// A REG_SZ path of at most 259 characters, stored with or without its terminator;
// anything else (longer, odd size, another type) counts as missing.
std::optional<std::u16string> PathValue(const std::optional<StoredValue>& value);

// Reads an existing key: the running mark decides whether the last book comes back, the
// "Windows" record (exactly 76 bytes) overrides "StoreSettings", and everything is
// brought into range for the screen.
LoadedSettings SettingsFromKey(const StoredSettings& key, int screenWidth, int screenHeight, int uiPrimaryLanguage);

// The first start (no key): defaults, no book.
LoadedSettings SettingsWithoutKey(int screenWidth, int screenHeight, int uiPrimaryLanguage);

// Value bytes: a DWORD little-endian, a path as UTF-16LE (no terminator added).
std::vector<uint8_t> DwordBytes(int32_t value);
std::vector<uint8_t> PathBytes(const std::u16string& path);

}  // namespace tomelet
