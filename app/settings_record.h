#pragma once
// The settings record kept as the 76-byte "Windows" registry value, with its defaults
// and range rules. No registry access here.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace tomelet {

inline constexpr int kGermanLanguageId = 7;  // LanguageId 7 means German, anything else English

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

// Brings a loaded record into range for the screen; also settles LanguageId when the
// language follows the system.
void ClampSettings(WindowSettings& settings, int screenWidth, int screenHeight, int uiPrimaryLanguage);

}  // namespace tomelet
