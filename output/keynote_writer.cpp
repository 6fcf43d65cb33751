#include "output/keynote_writer.h"

#include <utility>

namespace tomelet {

std::string KeyNoteHead(std::string_view noteName) {
  std::string head = "#!GFKNT 2.0\r\n#^011000000000000000000000\r\n%+\r\nNN=";
  head += noteName;
  head += "\r\n";
  return head;
}

std::string KeyNoteNodeHead(int level, std::string_view title) {
  std::string lines = "%-\r\nLV=";
  lines += std::to_string(level < 0 ? 0 : level);
  lines += "\r\nND=";
  lines += title;
  lines += "\r\nNF=000000100100000000000000\r\n%:\r\n";
  return lines;
}

KeyNoteResult WriteKeyNote(FileSink& out, BookSession& session, std::string_view noteName,
                           const std::vector<KeyNoteNode>& nodes, const PasswordAsker& ask,
                           const PictureConverter& toRtf, zip_uint64_t limit) {
  KeyNoteResult result;
  const auto stop = [&result](ExportState state, const KeyNoteNode* node) {
    result.state = state;
    if (node) result.failedTitle = node->title;
    return result;
  };
  if (!out.Write(KeyNoteHead(noteName))) return stop(ExportState::WriteFailed, nullptr);
  for (const KeyNoteNode& node : nodes) {
    if (!out.Write(KeyNoteNodeHead(node.level, node.title))) return stop(ExportState::WriteFailed, &node);
    ChapterEntryData entry = ReadChapterEntry(session, node.contentsRow, ask, EntryRead::Whole, limit);
    switch (entry.status) {
      case EntryStatus::Ok: break;
      case EntryStatus::CannotOpen:
        if (session.dontAskPassword) continue;  // the node stays without text
        result.errorText = std::move(entry.errorText);
        return stop(ExportState::CannotOpenChapter, &node);
      default:  // no information, too short, a failed read or checksum, too large
        return stop(ExportState::CannotLoadChapter, &node);
    }
    bool written = true;
    if (node.picture) {
      std::optional<std::string> rtf = toRtf ? toRtf(std::move(entry.bytes)) : std::nullopt;
      if (rtf) written = out.Write(*rtf);
    } else {
      written = out.Write(entry.bytes);
    }
    entry.bytes = std::string();  // one node in memory at a time
    if (!written || !out.Write("\r\n")) return stop(ExportState::WriteFailed, &node);
  }
  if (!out.Write(kKeyNoteEnd)) return stop(ExportState::WriteFailed, nullptr);
  return result;
}

}  // namespace tomelet
