// Command, control and resource identifiers, shared by the code and tomelet.rc.
// Command ids are the menu item ids; control ids those of the dialog templates.
#pragma once

// Menus (English, German) and the accelerator table.
#define IDM_MENU_ENGLISH 100
#define IDM_MENU_GERMAN 107
#define IDA_MAIN 1

// Icons: the program's book, then the table-of-contents row kinds.
#define IDI_BOOK 1
#define IDI_PAGE 2
#define IDI_PICTURE 3
#define IDI_BOOK_INFO 4
#define IDI_ATTACHMENT 5

// File menu.
#define CMD_OPEN 1002
#define CMD_OPEN_BOOK_COMMAND 1003
#define CMD_SAVE_CHAPTER 1004
#define CMD_EXPORT 1005
#define CMD_PRINT 1007
#define CMD_EXIT 1009
#define CMD_LANGUAGE_AUTOMATIC 6999
#define CMD_LANGUAGE_ENGLISH 7000
#define CMD_LANGUAGE_GERMAN 7009
// The books read last, 1 to 9, and the separator after them (added when the menu opens).
#define CMD_RECENT_BOOK_FIRST 1020
#define CMD_RECENT_SEPARATOR 1029
#define CMD_SAVE_SETTINGS 8001
#define CMD_DONT_SAVE_SETTINGS 8002

// Edit menu.
#define CMD_COPY 2002
#define CMD_SELECT_ALL 2006
#define CMD_SEARCH 2301
#define CMD_QUICK_SEARCH_HINT 2302
#define CMD_QUICK_SEARCH_AGAIN 2303
#define CMD_FIND_ALL 2304

// Window menu and the menu-bar buttons.
#define CMD_ZOOM_NORMAL 1807
#define CMD_ZOOM_SMALLER 1808
#define CMD_ZOOM_BIGGER 1809
#define CMD_CHAPTER_DOWN 1810
#define CMD_CHAPTER_UP 1811
#define CMD_SWITCH_WINDOW 3101
#define CMD_CONTENTS_WIDER 3103
#define CMD_CONTENTS_NARROWER 3104
#define CMD_BACK 3105
#define CMD_FORWARD 3106
#define CMD_FULL_SCREEN 3107
#define CMD_ADD_BOOKMARK 3108
#define CMD_ORGANIZE_BOOKMARKS 3109
// The open book's bookmarks in the Bookmarks menu, one id each (added when the menu opens).
#define CMD_BOOKMARK_FIRST 3200
#define CMD_BOOKMARK_LAST 3399

#define CMD_HELP 9009

// Child windows of the main window.
#define IDW_CONTENTS_LIST 9998
#define IDW_TEXT_PANE 9999

// Search dialog.
#define IDD_SEARCH 20
#define IDS_SEARCH_FOR 100
#define IDE_SEARCH_TERM 101
#define IDS_SEARCH_KIND 200
#define IDC_SEARCH_KIND 201
#define IDB_WHOLE_WORD 301
#define IDB_MATCH_CASE 302
#define IDB_DARK_GRAY 303

// Print progress window.
#define IDD_PRINT_PROGRESS 10
#define IDC_PRINT_PROGRESS_TEXT 100

// Password dialog.
#define IDD_PASSWORD 60
#define IDS_PASSWORD 101
#define IDE_PASSWORD 102
#define IDB_SHOW_PASSWORD 103
#define IDB_DONT_ASK_AGAIN 104

// KeyNote export dialog.
#define IDD_EXPORT 50
#define IDC_EXPORT_HINT 99
#define IDC_EXPORT_NAME_LABEL 101
#define IDE_EXPORT_NAME 102
#define IDB_EXPORT_BROWSE 103
#define IDC_EXPORT_LIST_LABEL 201
#define IDL_EXPORT_LIST 202

// Help window, its internal command (load the selected tab's document) and its documents
// (RT_RCDATA, each ending with a NUL byte; History serves both languages).
#define IDD_HELP 40
#define IDC_HELP_TEXT 100
#define IDC_HELP_TABS 200
#define CMD_HELP_LOAD_DOCUMENT 1000
#define IDR_HELP_ABOUT_GERMAN 1
#define IDR_HELP_CREATE_GERMAN 2
#define IDR_HELP_ABOUT_ENGLISH 3
#define IDR_HELP_CREATE_ENGLISH 4
#define IDR_HELP_TIPS_GERMAN 5
#define IDR_HELP_TIPS_ENGLISH 6
#define IDR_HELP_HISTORY 9

// Find all window.
#define IDD_FIND_ALL 70
#define IDS_FIND_ALL_TERM 700
#define IDE_FIND_ALL_TERM 701
#define IDB_FIND_ALL_MATCH_CASE 702
#define IDB_FIND_ALL_WHOLE_WORDS 703
#define IDB_FIND_ALL_FIND 704
#define IDB_FIND_ALL_STOP 705
#define IDL_FIND_ALL_HITS 706
#define IDC_FIND_ALL_STATUS 707
#define IDS_FIND_ALL_HITS 708

// Bookmark name dialog (Add bookmark, Rename).
#define IDD_BOOKMARK_NAME 80
#define IDC_BOOKMARK_NAME_LABEL 101
#define IDE_BOOKMARK_NAME 102
#define IDC_BOOKMARK_NOTE 103

// Organize bookmarks dialog.
#define IDD_BOOKMARKS 81
#define IDC_BOOKMARKS_LABEL 810
#define IDL_BOOKMARKS 811
#define IDB_BOOKMARK_GO 812
#define IDB_BOOKMARK_RENAME 813
#define IDB_BOOKMARK_DELETE 814
#define IDB_BOOKMARK_UP 815
#define IDB_BOOKMARK_DOWN 816
