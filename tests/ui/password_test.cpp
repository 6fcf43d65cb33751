// Encrypted books: the password dialog, answered as a user answers it.
#include <gtest/gtest.h>

#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

// Books written on the build machine with zip -P (see make_encrypted_books.sh).
std::wstring PkwareBook(const wchar_t* name) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path.resize(path.rfind(L'\\') + 1);
  return path + L"books\\" + name;
}

struct Answer {
  std::wstring password;
  bool ok = true;
  bool dontAskAgain = false;
};

// Waits for the password dialog and answers it; returns its texts.
struct DialogSeen {
  bool shown = false;
  std::wstring title, show, dontAsk, ok, cancel, password;
  bool passwordHidden = false;
};

DialogSeen AnswerPasswordDialog(ViewerRun& viewer, const Answer& answer, DWORD wait = 5000) {
  DialogSeen seen;
  HWND dialog = viewer.WaitForDialog(wait);
  if (!dialog || !GetDlgItem(dialog, IDE_PASSWORD)) return seen;
  seen.shown = true;
  seen.title = DialogText(dialog);
  seen.show = DialogText(dialog, IDB_SHOW_PASSWORD);
  seen.dontAsk = DialogText(dialog, IDB_DONT_ASK_AGAIN);
  seen.ok = DialogText(dialog, IDOK);
  seen.cancel = DialogText(dialog, IDCANCEL);
  seen.password = DialogText(dialog, IDE_PASSWORD);
  seen.passwordHidden = SendDlgItemMessageW(dialog, IDE_PASSWORD, EM_GETPASSWORDCHAR, 0, 0) != 0;
  SetDlgItemTextW(dialog, IDE_PASSWORD, answer.password.c_str());
  if (answer.dontAskAgain) CheckDlgButton(dialog, IDB_DONT_ASK_AGAIN, BST_CHECKED);
  PressButton(dialog, answer.ok ? IDOK : IDCANCEL);
  viewer.Settle();
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(10);
  viewer.Settle();
  return seen;
}

bool Shows(const ViewerRun& viewer, const std::wstring& text) {
  return PaneText(viewer.text()).find(text) != std::wstring::npos;
}

class PasswordTest : public testing::Test {
 protected:
  std::wstring Write(const std::string& name, const BookWriter& book) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(book.Write(path));
    return WinPath(path);
  }
  TempDir dir_;
};

TEST_F(PasswordTest, OnePasswordOpensEveryAesEntryOfTheBook) {
  for (Encryption method : {Encryption::Aes128, Encryption::Aes192, Encryption::Aes256}) {
    BookWriter book;
    book.Add("01 One.rtf", Rtf("AES chapter one"), method)
        .Add("02 Two.rtf", Rtf("AES chapter two"), method)
        .Add("03 Plain.rtf", Rtf("Plain chapter"));
    ViewerRun viewer(Write("aes.tmk", book));
    const DialogSeen seen = AnswerPasswordDialog(viewer, {L"secret"});
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.password.empty());
    EXPECT_TRUE(seen.passwordHidden);
    EXPECT_TRUE(Shows(viewer, L"AES chapter one"));
    viewer.Key(VK_NEXT, true);
    EXPECT_TRUE(Shows(viewer, L"AES chapter two"));
    viewer.Key(VK_NEXT, true);
    EXPECT_TRUE(Shows(viewer, L"Plain chapter"));
    EXPECT_FALSE(viewer.WaitForDialog(200)) << "asked twice";
  }
}

TEST_F(PasswordTest, PkwareBookWithPlainEntriesAsksOnlyForTheEncryptedOnes) {
  ViewerRun viewer;
  viewer.OnViewerThread([] {
    TheProgram().place.lastChapterFile = 2;  // the plain chapter first
    Session().bookPath = PkwareBook(L"pkware.tmk");
  });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_TRUE(Shows(viewer, L"Plain chapter"));
  EXPECT_FALSE(viewer.WaitForDialog(200));
  PostMessageW(viewer.window(), WM_COMMAND, CMD_CHAPTER_UP, 0);
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"secret"}).shown);
  EXPECT_TRUE(Shows(viewer, L"Second secret chapter"));
  viewer.Key(VK_PRIOR, true);
  EXPECT_TRUE(Shows(viewer, L"First secret chapter"));
}

TEST_F(PasswordTest, WrongPasswordIsReportedAndForgotten) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("one"), Encryption::Aes256).Add("02 Two.rtf", Rtf("two"), Encryption::Aes256);
  ViewerRun viewer(Write("wrong.tmk", book));
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"guess"}).shown);
  const std::wstring text = PaneText(viewer.text());
  EXPECT_EQ(text.find(L"Could not open chapter."), 0u) << text;
  EXPECT_NE(text.find(L"(\"Wrong password provided\")"), std::wstring::npos) << text;
  EXPECT_TRUE(Session().password.empty());

  // The next encrypted chapter asks again, with an empty box.
  PostMessageW(viewer.window(), WM_COMMAND, CMD_CHAPTER_DOWN, 0);
  const DialogSeen again = AnswerPasswordDialog(viewer, {L"secret"});
  ASSERT_TRUE(again.shown);
  EXPECT_TRUE(again.password.empty());
  EXPECT_TRUE(Shows(viewer, L"two"));
}

TEST_F(PasswordTest, DontAskAgainStopsThePromptsUntilTheNextBook) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("one"), Encryption::Aes128).Add("02 Two.rtf", Rtf("two"), Encryption::Aes128);
  const std::wstring path = Write("dontask.tmk", book);
  ViewerRun viewer(path);
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"guess", true, true}).shown);
  EXPECT_TRUE(Shows(viewer, L"Could not open chapter."));
  PostMessageW(viewer.window(), WM_COMMAND, CMD_CHAPTER_DOWN, 0);
  EXPECT_FALSE(viewer.WaitForDialog(300));
  viewer.Settle();
  EXPECT_TRUE(Shows(viewer, L"Could not open chapter."));
  // Opening the book again starts over.
  viewer.OnViewerThread([&] { Session().bookPath = path; });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"secret"}).shown);
  EXPECT_TRUE(Shows(viewer, L"one"));
}

TEST_F(PasswordTest, CancelChangesNothingAndShowPasswordIsKept) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("one"), Encryption::Aes128).Add("02 Two.rtf", Rtf("two"), Encryption::Aes128);
  ViewerRun viewer(Write("cancel.tmk", book));
  HWND dialog = viewer.WaitForDialog();
  ASSERT_TRUE(dialog);
  // Clicking "show password" shows the text at once.
  SendDlgItemMessageW(dialog, IDB_SHOW_PASSWORD, BM_CLICK, 0, 0);
  EXPECT_EQ(SendDlgItemMessageW(dialog, IDE_PASSWORD, EM_GETPASSWORDCHAR, 0, 0), 0);
  SendDlgItemMessageW(dialog, IDB_DONT_ASK_AGAIN, BM_CLICK, 0, 0);
  PressButton(dialog, IDCANCEL);
  viewer.Settle();
  EXPECT_NE(PaneText(viewer.text()).find(L"No password provided"), std::wstring::npos);
  EXPECT_EQ(TheProgram().settings.showPassword, 0);
  EXPECT_FALSE(Session().dontAskPassword);

  // OK keeps the box's state, and the next dialog opens with the password shown.
  PostMessageW(viewer.window(), WM_COMMAND, CMD_CHAPTER_DOWN, 0);
  dialog = viewer.WaitForDialog();
  ASSERT_TRUE(dialog);
  SendDlgItemMessageW(dialog, IDB_SHOW_PASSWORD, BM_CLICK, 0, 0);
  SetDlgItemTextW(dialog, IDE_PASSWORD, L"wrong");
  PressButton(dialog, IDOK);
  viewer.Settle();
  EXPECT_EQ(TheProgram().settings.showPassword, 1);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_CHAPTER_UP, 0);
  const DialogSeen next = AnswerPasswordDialog(viewer, {L"secret"});
  ASSERT_TRUE(next.shown);
  EXPECT_FALSE(next.passwordHidden);
  EXPECT_TRUE(Shows(viewer, L"one"));
}

TEST_F(PasswordTest, DialogTextsFollowTheInterfaceLanguage) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("one"), Encryption::Aes128).Add("02 Two.rtf", Rtf("two"));
  const std::wstring path = Write("texts.tmk", book);
  ViewerRun viewer;
  for (int language : {0, 7}) {
    viewer.OnViewerThread([&] {
      TheProgram().settings.languageId = language;
      TheProgram().settings.autoLanguage = 0;
      TheProgram().place.lastChapterFile = 0;
      Session().bookPath = path;
    });
    PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
    const DialogSeen seen = AnswerPasswordDialog(viewer, {L"", false});
    ASSERT_TRUE(seen.shown);
    if (language == 7) {
      EXPECT_EQ(seen.title, L"Passwort:");
      EXPECT_EQ(seen.show, L"&Passwort anzeigen");
      EXPECT_EQ(seen.dontAsk, L"&Nicht noch einmal nach Passwort fragen");
      EXPECT_EQ(seen.ok, L"&OK");
      EXPECT_EQ(seen.cancel, L"&Abbrechen");
      EXPECT_TRUE(Shows(viewer, L"Konnte Kapitel nicht \u00f6ffnen."));
    } else {
      EXPECT_EQ(seen.title, L"Password:");
      EXPECT_EQ(seen.show, L"&Show password");
      EXPECT_EQ(seen.dontAsk, L"&Don't ask for password again");
      EXPECT_EQ(seen.ok, L"&OK");
      EXPECT_EQ(seen.cancel, L"&Cancel");
    }
  }
}

TEST_F(PasswordTest, TheIndexPasswordOpensTheFirstChapterWithoutASecondPrompt) {
  ViewerRun viewer(PkwareBook(L"pkware-index.tmk"));
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"secret"}).shown);  // for the index file
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"02First");
  EXPECT_EQ(ListRowText(viewer.contents(), 1), L"02Second");
  EXPECT_FALSE(viewer.WaitForDialog(300)) << "asked again for the first chapter";
  EXPECT_TRUE(Shows(viewer, L"Indexed one"));
}

TEST_F(PasswordTest, APasswordOfThePreviousBookNeverStandsInForTheNextBooksIndex) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("one"), Encryption::Aes128).Add("02 Two.rtf", Rtf("two"));
  ViewerRun viewer(Write("first.tmk", book));
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"secret"}).shown);
  ASSERT_TRUE(Shows(viewer, L"one"));
  viewer.OnViewerThread([] { Session().bookPath = PkwareBook(L"pkware-index.tmk"); });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"secret"}).shown);
  EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_TRUE(Shows(viewer, L"Indexed one"));
}

TEST_F(PasswordTest, PasswordsBeyondAsciiOpenBooksMadeWithAnsiOrUtf8Bytes) {
  const std::wstring typed = L"p\u00e4ss";
  // AES books whose password bytes are the ANSI and the UTF-8 form of the same text; the
  // last one in the AE-2 form (no CRC) that 7-Zip and WinZip write, its third chapter's
  // authentication code damaged.
  const std::string utf8 = "p\xC3\xA4ss";
  for (const auto& [bytes, ae2] : {std::pair{std::string("p\xE4ss"), false}, {utf8, false}, {utf8, true}}) {
    BookWriter book;
    book.Password(bytes).Add("01 One.rtf", Rtf("umlaut one"), Encryption::Aes256).Add("02 Two.rtf", Rtf("umlaut two"), Encryption::Aes256);
    if (ae2) book.Add("03 Three.rtf", Rtf("umlaut three"), Encryption::Aes256);
    const std::wstring path = Write("umlaut.tmk", book);
    if (ae2) {
      std::string zip = ReadFileBytes(dir_.File("umlaut.tmk"));
      for (const char* name : {"01 One.rtf", "02 Two.rtf", "03 Three.rtf"}) ASSERT_TRUE(MakeAe2(zip, FindEntry(zip, name)));
      const EntryHeaders third = FindEntry(zip, "03 Three.rtf");
      zip[third.data + GetLe(zip, third.central + 20, 4) - 1] ^= 0x01;
      WriteFileBytes(dir_.File("umlaut.tmk"), zip);
    }
    ViewerRun viewer(path);
    ASSERT_TRUE(AnswerPasswordDialog(viewer, {typed}).shown);
    EXPECT_TRUE(Shows(viewer, L"umlaut one")) << PaneText(viewer.text());
    viewer.Key(VK_NEXT, true);
    EXPECT_FALSE(viewer.WaitForDialog(200));
    EXPECT_TRUE(Shows(viewer, L"umlaut two"));
    if (ae2) {
      viewer.Key(VK_NEXT, true);
      const std::wstring text = PaneText(viewer.text());
      EXPECT_EQ(text.find(L"Could not read chapter."), 0u) << text;
      EXPECT_NE(text.find(L"(\"CRC error\")"), std::wstring::npos) << text;
    }
  }
  ViewerRun viewer(PkwareBook(L"pkware-utf8.tmk"));
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {typed}).shown);
  EXPECT_TRUE(Shows(viewer, L"Opened with the UTF-8 password")) << PaneText(viewer.text());
  viewer.Key(VK_NEXT, true);
  EXPECT_TRUE(Shows(viewer, L"Second chapter of the UTF-8 book"));
}

TEST_F(PasswordTest, OverlongPasswordsAndDamagedEncryptedEntriesFailCleanly) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("one"), Encryption::Aes256).Add("02 Two.rtf", Rtf("two"), Encryption::Aes256);
  const std::string path = dir_.File("damaged.tmk");
  ASSERT_TRUE(book.Write(path));
  {
    ViewerRun viewer(WinPath(path));
    ASSERT_TRUE(AnswerPasswordDialog(viewer, {std::wstring(600, L'x')}).shown);
    EXPECT_TRUE(Shows(viewer, L"Could not open chapter."));
    EXPECT_LE(Session().password.size(), 511u);
  }
  // Damage the AES header (salt and password check) of the first entry's data.
  std::string bytes = ReadFileBytes(path);
  const std::size_t local = bytes.find("PK\x03\x04");
  const std::size_t data = local + 30 + (static_cast<unsigned char>(bytes[local + 26]) | bytes[local + 27] << 8) +
                           (static_cast<unsigned char>(bytes[local + 28]) | bytes[local + 29] << 8);
  for (std::size_t i = data; i < data + 18 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  WriteFileBytes(path, bytes);
  ViewerRun viewer(WinPath(path));
  ASSERT_TRUE(AnswerPasswordDialog(viewer, {L"secret"}).shown);
  EXPECT_TRUE(Shows(viewer, L"Could not"));
  EXPECT_TRUE(viewer.running());
}

}  // namespace
}  // namespace tomelet::test
