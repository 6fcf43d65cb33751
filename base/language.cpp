#include "base/language.h"

namespace tomelet {
namespace {
const std::int32_t* boundLanguageId = nullptr;
}  // namespace

void BindLanguageId(const std::int32_t* languageId) { boundLanguageId = languageId; }

bool IsGerman() { return boundLanguageId && IsGermanLanguage(*boundLanguageId); }

std::string GroupedNumber(std::uint64_t value, bool german) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, german ? '.' : ',');
  return digits;
}

}  // namespace tomelet
