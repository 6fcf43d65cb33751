#pragma once
// The main window for screen readers and high contrast: the contents list and the text
// pane as accessible objects, the owner-drawn menu items' MSAAMENUINFO records, their
// access keys, and the colour choice of our own drawing.
#include <windows.h>

#include <optional>

#include <oleacc.h>

namespace tomelet {

// The contents list's rows and the text pane's name (base/accessible_object.h).
void MakeMainWindowSpoken(HWND contentsList, HWND textPane);

// An owner-drawn zoom or chapter item's data: the MSAAMENUINFO screen readers read (its
// text the item's name and key in the interface language), then the label the Window menu
// draws. The record of an item is its item data.
struct MenuItemRecord {
  MSAAMENUINFO msaa;
  UINT command;
  const wchar_t* label;
};

// Gives every owner-drawn zoom and chapter item of `menu` and its pop-ups its record in the
// interface language; after every load of a menu.
void NameMenuItems(HMENU menu);
const MenuItemRecord* MenuItemRecordOf(ULONG_PTR itemData);

// WM_MENUCHAR: a key pressed in a menu that none of its text items has as access key
// runs the owner-drawn item whose label has it; nothing when none has it.
std::optional<LRESULT> OnMenuChar(wchar_t key, HMENU menu);

// The language changed: the contents list says its new name.
void AnnounceLanguage(HWND contentsList);

// High contrast as the system reports it, read again on WM_SETTINGCHANGE and
// WM_SYSCOLORCHANGE by RefreshHighContrast. FakeHighContrast puts a test's answer in the
// system's place (nullopt: the system's again).
bool HighContrast();
void RefreshHighContrast();
void FakeHighContrast(std::optional<bool> on);

}  // namespace tomelet
