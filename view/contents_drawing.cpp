// Drawing one row of the table of contents: the kind icon indented by the level, the
// title one row height to its right.
#include "view/contents_drawing.h"

#include <string>

#include "base/dpi_scale.h"
#include "res/resource_ids.h"

namespace tomelet {
namespace {

static_assert(static_cast<int>(SystemColour::Window) == COLOR_WINDOW &&
              static_cast<int>(SystemColour::WindowText) == COLOR_WINDOWTEXT &&
              static_cast<int>(SystemColour::Highlight) == COLOR_HIGHLIGHT &&
              static_cast<int>(SystemColour::HighlightText) == COLOR_HIGHLIGHTTEXT &&
              static_cast<int>(SystemColour::GrayText) == COLOR_GRAYTEXT &&
              static_cast<int>(SystemColour::Menu) == COLOR_MENU &&
              static_cast<int>(SystemColour::MenuText) == COLOR_MENUTEXT &&
              static_cast<int>(SystemColour::MenuBar) == COLOR_MENUBAR);

// Loaded at the first row drawn and kept for the run; shared icons need no freeing.
struct RowIcons {
  HICON bookInfo = nullptr, chapter = nullptr, picture = nullptr, attachment = nullptr;
};
const RowIcons& Icons(HINSTANCE instance) {
  static const RowIcons icons = [instance] {
    const auto load = [instance](int id) { return LoadIconW(instance, MAKEINTRESOURCEW(id)); };
    return RowIcons{load(IDI_BOOK_INFO), load(IDI_PAGE), load(IDI_PICTURE), load(IDI_ATTACHMENT)};
  }();
  return icons;
}

HICON IconForKind(HINSTANCE instance, wchar_t kind) {
  const RowIcons& icons = Icons(instance);
  switch (kind) {
    case L'1': return icons.bookInfo;
    case L'2': return icons.chapter;
    case L'3': return icons.picture;
    default: return icons.attachment;
  }
}

std::wstring RowText(HWND list, UINT row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (length == LB_ERR || length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

}  // namespace

COLORREF ColorRefOf(const Colour& colour) {
  return colour.system ? GetSysColor(static_cast<int>(colour.value)) : static_cast<COLORREF>(colour.value);
}

BOOL DrawContentsRow(const DRAWITEMSTRUCT* item, HINSTANCE instance, HBRUSH background, int dpi,
                     bool highContrast) {
  if (item->itemID == static_cast<UINT>(-1)) return FALSE;
  HDC dc = item->hDC;
  const std::wstring text = RowText(item->hwndItem, item->itemID);
  const RECT& rc = item->rcItem;
  const int h = rc.bottom - rc.top;
  const int top = rc.top + ScaleForDpi(2, dpi);
  const int level = !text.empty() && text[0] >= L'0' && text[0] <= L'9' ? text[0] - L'0' : 0;
  const wchar_t kind = text.size() > 1 ? text[1] : L'\0';

  DrawIconEx(dc, rc.left + level * h, top, IconForKind(instance, kind), h, h, 0, background,
             DI_NORMAL);
  const ItemState state{(item->itemState & ODS_SELECTED) != 0, GetFocus() == item->hwndItem};
  const Ink ink = InkFor(Surface::ContentsRow, state, highContrast);
  SetBkColor(dc, ColorRefOf(ink.back));
  if (!ink.text.keep) SetTextColor(dc, ColorRefOf(ink.text));
  SetBkMode(dc, OPAQUE);
  if (text.size() > 2)
    TextOutW(dc, rc.left + (level + 1) * h, top, text.c_str() + 2, static_cast<int>(text.size() - 2));
  return TRUE;
}

}  // namespace tomelet
