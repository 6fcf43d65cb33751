#include "output/save_rules.h"

#include "base/language.h"
#include "base/text.h"
#include "base/wide.h"
#include "book/name_rules.h"

namespace tomelet {
namespace {

constexpr std::size_t kMaxNameUnits = 259;

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

std::wstring UpperCased(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = AsciiUpper(c);
  return out;
}

// Filter pairs, appended as the common dialog reads them.
struct Filter {
  TextPair caption;
  const wchar_t* pattern;
};

template <std::size_t N>
std::wstring FilterText(const Filter (&filters)[N], bool german) {
  std::wstring text;
  for (const Filter& f : filters) {
    text += Pick(f.caption, german);
    text += L'\0';
    text += f.pattern;
    text += L'\0';
  }
  text += L'\0';
  return text;
}

const TextPair kAllFiles = {L"All files (*.*)", L"Alle Dateien (*.*)"};

}  // namespace

std::string SaveExtensionOf(std::string_view entryName) { return AsciiUpper(ExtensionOf(entryName)); }

SaveClass SaveClassOf(std::string_view entryName) {
  const std::string extension = SaveExtensionOf(entryName);
  if (extension == "PNG" || extension == "JPG" || extension == "JPEG") return SaveClass::Picture;
  if (extension == "RTF") return SaveClass::RtfText;
  return SaveClass::Other;
}

std::wstring SaveFilters(SaveClass kind, bool german) {
  static const Filter kPicture[] = {
      {{L"RTF file, picture enbedded (*.rtf)", L"RTF-Datei, Bild eingebettet (*.rtf)"}, L"*.rtf"},
      {{L"Picture file (*.png,*.jpg)", L"Bilddatei (*.png,*.jpg)"}, L"*.png;*.jpg;*.jpeg"},
      {kAllFiles, L"*.*"}};
  static const Filter kRtf[] = {{{L"RTF text file (*.rtf)", L"RTF-Textdatei (*.rtf)"}, L"*.rtf"},
                                {kAllFiles, L"*.*"}};
  static const Filter kOther[] = {{kAllFiles, L"*.*"}};
  switch (kind) {
    case SaveClass::Picture: return FilterText(kPicture, german);
    case SaveClass::RtfText: return FilterText(kRtf, german);
    case SaveClass::Other: break;
  }
  return FilterText(kOther, german);
}

const wchar_t* SaveDefaultExtension(SaveClass kind) { return kind == SaveClass::Other ? L"" : L"rtf"; }

SaveForm SaveFormOf(SaveClass kind, std::string_view entryName, unsigned filterIndex) {
  if (kind != SaveClass::Picture || filterIndex != 1) return SaveForm::AsStored;
  return SaveExtensionOf(entryName) == "PNG" ? SaveForm::PngDocument : SaveForm::JpegDocument;
}

std::wstring SaveTargetName(std::wstring_view chosen, SaveForm form) {
  std::wstring name(chosen);
  if (form == SaveForm::AsStored) return name;
  const std::size_t dot = chosen.rfind(L'.');
  const std::wstring extension = UpperCased(dot == std::wstring_view::npos ? chosen : chosen.substr(dot + 1));
  if (extension == L"PNG" || extension == L"JPG" || extension == L"JPEG") name += L".rtf";
  return name;
}

std::wstring SaveNameOffered(std::string_view entryName) {
  const std::size_t slash = entryName.find_last_of("/\\");
  if (slash != std::string_view::npos) entryName.remove_prefix(slash + 1);
  std::wstring name = Utf8ToWide(TruncateUtf16(entryName, kMaxNameUnits));
  for (wchar_t& c : name)
    if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) c = L'_';
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  // Device names stay devices with any extension and with blanks before it: "CON .rtf".
  std::wstring stem = UpperCased(name.substr(0, name.find(L'.')));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  const bool numbered = stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
                        std::wstring_view(L"123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::wstring_view::npos;
  if (numbered || stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") name.insert(0, 1, L'_');
  return name;
}

std::wstring ProposedKeyNoteName(std::wstring_view bookPath) {
  const std::size_t dot = bookPath.rfind(L'.');
  if (dot == std::wstring_view::npos) return L"knt";
  return std::wstring(bookPath.substr(0, dot + 1)) + L"knt";
}

std::wstring NameSuffix(std::wstring_view name) {
  const std::size_t dot = name.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring() : UpperCased(name.substr(dot));
}

std::wstring KeyNoteFilters(bool german) {
  static const Filter kFilters[] = {{{L"KeyNote file (*.knt)", L"KeyNote-Datei (*.knt)"}, L"*.knt"},
                                    {kAllFiles, L"*.*"}};
  return FilterText(kFilters, german);
}

unsigned KeyNoteFilterFor(std::wstring_view name) {
  return name.size() >= 3 && UpperCased(name.substr(name.size() - 3)) == L"KNT" ? 1 : 2;
}

std::wstring ExportRowText(std::string_view displayText) {
  if (displayText.size() < 2) return {};
  const char kind = displayText[1];
  if (kind != static_cast<char>(EntryKind::Chapter) && kind != static_cast<char>(EntryKind::Picture)) return {};
  const char digit = displayText[0];
  const int level = digit >= '0' && digit <= '9' ? digit - '0' : 0;
  std::string row(static_cast<std::size_t>(4 * level), ' ');
  row += kind == static_cast<char>(EntryKind::Chapter) ? "\xE2\x96\xAA" : "\xE2\x96\xAB";  // U+25AA, U+25AB
  row += displayText.substr(2);
  return Utf8ToWide(TruncateUtf16(row, kMaxNameUnits));
}

ExportRow ReadExportRow(std::wstring_view text) {
  ExportRow row;
  std::size_t blanks = 0;
  while (blanks < text.size() && text[blanks] == L' ') ++blanks;
  row.level = static_cast<int>(blanks / 4);
  text.remove_prefix(blanks);
  row.picture = !text.empty() && text.front() != L'\u25AA';
  if (!text.empty()) text.remove_prefix(1);
  row.title = text;
  return row;
}

std::wstring NoteNameOf(std::wstring_view path) {
  const std::size_t slash = path.rfind(L'\\');
  return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::string AnsiOrQuestionMarks(std::string_view utf8) {
  bool lossless = true;
  std::string ansi = Utf8ToAnsi(utf8, &lossless);
  if (lossless) return ansi;
  ansi.clear();
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    ansi += cp < 128 ? static_cast<char>(cp) : '?';
  }
  return ansi;
}

}  // namespace tomelet
