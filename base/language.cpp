#include "base/language.h"

namespace tomelet {
namespace {
const std::int32_t* boundLanguageId = nullptr;
}  // namespace

void BindLanguageId(const std::int32_t* languageId) { boundLanguageId = languageId; }

bool IsGerman() { return boundLanguageId && IsGermanLanguage(*boundLanguageId); }

}  // namespace tomelet
