#include "app/menu_items.h"

#include <algorithm>

#include "app/accessibility.h"
#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "base/dpi_scale.h"
#include "base/win_handles.h"
#include "base/window_dpi.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "view/contents_drawing.h"

namespace tomelet {
namespace {

struct SymbolResources {
  int textHeight = 0;  // T: size of the symbol box
  UniquePen pen;
};
SymbolResources& Symbols() {
  static SymbolResources resources;
  return resources;
}

// The small insets are pixels at 96 DPI, scaled for the window (`s` grows with the item).
void DrawSymbol(HDC dc, UINT id, const RECT& box, int s) {
  const auto px = [](int value) { return ScaleForDpi(value, Main().dpi); };
  const int cx = box.left + (box.right - box.left) / 2;
  const int cy = box.top + (box.bottom - box.top) / 2;
  switch (id) {
    case CMD_ZOOM_SMALLER:
    case CMD_ZOOM_BIGGER:
      Ellipse(dc, box.left, box.top, box.right, box.bottom);
      MoveToEx(dc, box.left + s, cy, nullptr);
      LineTo(dc, box.right - s - px(2), cy);
      if (id == CMD_ZOOM_BIGGER) {
        MoveToEx(dc, cx, box.top + s + px(1), nullptr);
        LineTo(dc, cx, box.bottom - s - px(2));
      }
      break;
    case CMD_ZOOM_NORMAL:
      Ellipse(dc, box.left, box.top, box.right, box.bottom);
      Ellipse(dc, cx - px(1), cy - px(1), cx + px(2), cy + px(2));
      break;
    case CMD_CHAPTER_DOWN: {
      const POINT down[] = {{box.left, box.top}, {box.right, box.top}, {cx, box.bottom}};
      Polygon(dc, down, 3);
      break;
    }
    case CMD_CHAPTER_UP: {
      const POINT up[] = {{cx, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
      Polygon(dc, up, 3);
      break;
    }
    default: break;
  }
}

}  // namespace

void PrepareOwnerDrawResources(HDC dc) {
  SymbolResources& symbols = Symbols();
  if (symbols.pen) return;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  symbols.textHeight = metrics.tmHeight;
  symbols.pen.reset(CreatePen(PS_SOLID, std::max(1, static_cast<int>(metrics.tmHeight) / 10), RGB(0, 0, 0)));
}

void RemeasureMenuItems(HMENU menu) {
  Symbols().pen.reset();
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) continue;
    if (info.fType & MFT_OWNERDRAW) {
      info.fMask = MIIM_FTYPE;  // setting the type again drops the size the menu had measured
      SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
    }
    if (info.hSubMenu) RemeasureMenuItems(info.hSubMenu);
  }
}

void MeasureMenuItem(MEASUREITEMSTRUCT* item) {
  // The menu bar is measured before the window has told its DPI: the screen's until then.
  const int barHeight = SystemMetricForDpi(SM_CYMENU, Main().window ? Main().dpi : SystemDpi());
  item->itemWidth = static_cast<UINT>(barHeight / 2);
  item->itemHeight = static_cast<UINT>(barHeight);
}

BOOL DrawMenuItem(const DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1)) return FALSE;
  HDC dc = item->hDC;
  PrepareOwnerDrawResources(dc);
  const SymbolResources& symbols = Symbols();
  BOOL flatMenus = FALSE;
  SystemParametersInfoW(SPI_GETFLATMENU, 0, &flatMenus, 0);
  const bool onBar = reinterpret_cast<HMENU>(item->hwndItem) == Main().menuBar;
  const ItemState state{(item->itemState & ODS_SELECTED) != 0, false,
                        (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0, onBar, flatMenus != FALSE};
  const bool highContrast = HighContrast();
  const Ink ink = InkFor(Surface::MenuItem, state, highContrast);
  SetTextColor(dc, ColorRefOf(ink.text));
  SetBkColor(dc, ColorRefOf(ink.back));
  // With high contrast the item's cell is filled and the symbol drawn in the user's colours;
  // otherwise on the stock brushes and the black pen.
  UniquePen contrastPen;
  HGDIOBJ brush = GetStockObject(state.selected ? LTGRAY_BRUSH : WHITE_BRUSH);
  HGDIOBJ pen = symbols.pen.get();
  if (highContrast) {
    FillRect(dc, &item->rcItem, GetSysColorBrush(static_cast<int>(ink.back.value)));
    brush = GetSysColorBrush(static_cast<int>(ink.fill.value));
    LOGPEN shape{};
    GetObjectW(symbols.pen.get(), sizeof(shape), &shape);
    contrastPen.reset(CreatePen(PS_SOLID, shape.lopnWidth.x, ColorRefOf(ink.pen)));
    if (contrastPen) pen = contrastPen.get();
  }
  SelectionGuard brushGuard(dc, brush);
  SelectionGuard penGuard(dc, pen);

  const RECT& rc = item->rcItem;
  const int h = rc.bottom - rc.top;
  const int s = std::max(1, h / 7);
  const int top = rc.top + ScaleForDpi(1, Main().dpi);
  const RECT box{rc.left, top, rc.left + symbols.textHeight, top + symbols.textHeight};
  DrawSymbol(dc, item->itemID, box, s);

  if (!onBar) {
    // The label the item's record holds (in the language its menu was loaded in).
    const MenuItemRecord* record = MenuItemRecordOf(item->itemData);
    const TextPair* fallback = texts::MenuItemLabel(item->itemID);
    if (const wchar_t* label = record ? record->label : fallback ? Pick(*fallback) : nullptr) {
      RECT textRect{rc.left + h, top, rc.right, rc.bottom};
      DRAWTEXTPARAMS params{};
      params.cbSize = sizeof(params);
      params.iTabLength = 9;
      DrawTextExW(dc, const_cast<wchar_t*>(label), -1, &textRect, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP,
                  &params);
    }
  }
  return TRUE;
}

void OnInitMenuPopup(HMENU popup, int position) {
  const WindowSettings& settings = TheProgram().settings;
  if (position == 0) {
    EnableMenuItem(popup, CMD_EXPORT, MF_BYCOMMAND | (Session().archive ? MF_ENABLED : MF_GRAYED));
  } else if (position == 6) {
    // Marked as the end of the run will act: only -1 keeps the settings.
    CheckMenuRadioItem(popup, CMD_SAVE_SETTINGS, CMD_DONT_SAVE_SETTINGS,
                       settings.storeSettings == -1 ? CMD_SAVE_SETTINGS : CMD_DONT_SAVE_SETTINGS, MF_BYCOMMAND);
    // A fixed language marks the one in effect: any LanguageId but 7 shows English.
    const UINT language = settings.autoLanguage != 0 ? CMD_LANGUAGE_AUTOMATIC
                          : IsGerman()               ? CMD_LANGUAGE_GERMAN
                                                     : CMD_LANGUAGE_ENGLISH;
    CheckMenuRadioItem(popup, CMD_LANGUAGE_AUTOMATIC, CMD_LANGUAGE_GERMAN, language, MF_BYCOMMAND);
  }
}

}  // namespace tomelet
