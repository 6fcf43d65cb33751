#include "app/language.h"

#include <windows.h>

#include "app/accessibility.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "res/resource_ids.h"

namespace tomelet {

int UserUiPrimaryLanguage() {
  const LANGID forced = TheProgram().userUiLanguage;
  return PrimaryLanguage(forced ? forced : GetUserDefaultUILanguage());
}

namespace {

void SwapMenu(bool german) {
  MainWindowState& m = Main();
  const HMENU old = GetMenu(m.window);
  const HMENU fresh = LoadMenuW(TheProgram().instance, MAKEINTRESOURCEW(german ? IDM_MENU_GERMAN : IDM_MENU_ENGLISH));
  if (!fresh) return;  // keep the menu there is
  NameMenuItems(fresh);
  m.menuBar = fresh;
  SetMenu(m.window, fresh);
  if (old) DestroyMenu(old);
  UpdateMenuState();
  AnnounceLanguage(m.contentsList);
}

}  // namespace

void ChooseLanguage(unsigned command) {
  WindowSettings& settings = TheProgram().settings;
  switch (command) {
    case CMD_LANGUAGE_GERMAN:
      settings.autoLanguage = 0;
      settings.languageId = kGermanLanguageId;
      break;
    case CMD_LANGUAGE_ENGLISH:
      settings.autoLanguage = 0;
      settings.languageId = 0;
      break;
    case CMD_LANGUAGE_AUTOMATIC:
      settings.autoLanguage = 0xFFFF;
      settings.languageId = UserUiPrimaryLanguage();
      break;
    default:
      return;
  }
  SwapMenu(IsGerman());
}

}  // namespace tomelet
