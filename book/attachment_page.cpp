#include "book/attachment_page.h"

#include "base/text.h"

namespace tomelet {
namespace {

void AppendUnicodeEscape(std::string& out, char16_t unit) {
  out += "\\u";
  out += std::to_string(static_cast<std::int16_t>(unit));
  out += '?';
}

}  // namespace

std::string_view AttachmentLinkText(std::string_view sourceName) {
  if (sourceName.empty() || sourceName.front() < '0' || sourceName.front() > '9') return sourceName;
  const std::size_t space = sourceName.find(' ');
  return space == std::string_view::npos ? sourceName : sourceName.substr(space + 1);
}

std::string RtfEscape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp >= 0x20 && cp < 0x7F) {
      out += static_cast<char>(cp);
    } else if (cp <= 0xFFFF) {
      AppendUnicodeEscape(out, static_cast<char16_t>(cp));
    } else {
      const char32_t v = cp - 0x10000;
      AppendUnicodeEscape(out, static_cast<char16_t>(0xD800 + (v >> 10)));
      AppendUnicodeEscape(out, static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
  return out;
}

std::string BuildAttachmentPage(std::string_view sourceName, std::uint64_t size, bool german) {
  std::string page =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\lang1031\\f0"
      "\\fs20 ";
  page += german ? "Bin\\u228?r-Attachement. Zum Extrahieren der Datei bitte den folgenden Link anklicken:"
                 : "Binary Attachemnt. To extract the file to disc please click the following link:";
  page += "\\par\\par{\\field{\\*\\fldinst{HYPERLINK ";
  page += kAttachmentLinkTarget;
  page += " }}{\\fldrslt{\\fs28\\b ";
  page += RtfEscape(AttachmentLinkText(sourceName));
  page += "\\b0\\fs20}}}";
  page += "\\par\\par (";
  page += std::to_string(size / 1024);
  page += " KB)}";
  return page;
}

}  // namespace tomelet
