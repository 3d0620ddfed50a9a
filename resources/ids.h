// Every resource, command, control and private message number of Quillpad.
// Read by quillpad.rc as well as by C++, so it holds plain #defines only.
#ifndef QUILLPAD_RESOURCES_IDS_H
#define QUILLPAD_RESOURCES_IDS_H

// Resources.
#define IDD_ABOUT 103
#define IDS_WINDOW_TITLE 103   // "Orvelle Quillpad", also what a second start looks for
#define IDR_MAIN_MENU 109
#define IDR_ACCELERATORS 109
#define IDS_WINDOW_CLASS 109   // "Quillpad"
#define IDB_PHONETIC_GLYPHS 130
#define IDD_VOICE_SETTING 132
#define IDI_APP 133
#define IDB_TOOLBAR 139
#define IDB_SPLASH 148
#define IDD_SPLASH 149
#define IDB_TREE 151
#define IDD_CONVERSION 160

// Commands: menu items, toolbar buttons, accelerators.
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_HISTORY_FIRST 200  // history popup items, newest word first
#define IDM_HISTORY_LAST 210
#define IDM_OPEN_BOOK 1100
#define IDM_PREVIOUS_ENTRY 1101
#define IDM_NEXT_ENTRY 1102
#define IDM_SPEAK 1103
#define IDM_FIND_PANEL 1104
#define IDM_BOOK_SHELF 1105
#define IDM_HISTORY 1106
#define IDM_VOICE_SETTING 32777
#define IDM_WEB_PAGE 32787

// Controls of the main window.
#define IDC_WORD_LIST 110
#define IDC_CONTENT_PANE 111
#define IDC_INPUT_BOX 112
#define IDC_TOOLBAR 1000
#define IDC_REBAR 13001

// Controls of the find panel.
#define IDC_FIND_BUTTON 115
#define IDC_FIND_EDIT 116
#define IDC_RESULT_LIST 117
#define IDC_ALL_BOOKS 118

// Controls of the Voice Setting dialog (OK and Cancel are IDOK and IDCANCEL).
#define IDC_VOLUME_SLIDER 1005
#define IDC_RATE_SLIDER 1006
#define IDC_VOICE_LIST 1010
#define IDC_FORMAT_LIST 1011

// The conversion progress dialog's text and bar (Cancel is IDCANCEL).
#define IDC_CONVERSION_TEXT 1020
#define IDC_CONVERSION_PROGRESS 1021

// The splash dialog's picture.
#define IDC_SPLASH_PICTURE 148

// Cells of bitmap 139, the toolbar's and the menus' images.
#define IMG_PROGRAM 0
#define IMG_PREVIOUS_ENTRY 1
#define IMG_NEXT_ENTRY 2
#define IMG_SPEAK 3
#define IMG_FIND_PANEL 4
#define IMG_BOOK_SHELF 5
#define IMG_HISTORY 6
#define IMG_ABOUT 7
#define IMG_OPEN_BOOK 8
#define IMG_EXIT 9
#define IMG_VOICE_SETTING 10
#define IMG_TOOLBAR_COUNT 11
#define IMG_TOOLBAR_SIZE 16

// Cells of bitmap 151, the book-shelf tree's images.
#define IMG_TREE_BOOK 0
#define IMG_TREE_OPEN_BOOK 1
#define IMG_TREE_FOLDER 2
#define IMG_TREE_WIDTH 19
#define IMG_TREE_HEIGHT 17

// Private window messages, all sent to the main window.
#define MSG_OPEN_SHELF_BOOK 5001
#define MSG_REOPEN_BOOK 5002
#define MSG_COPIED_WORD 5003   // a word copied twice is waiting in the clipboard watch
#define MSG_PANE_DOUBLE_CLICK 5004  // wParam: the content pane's character double-clicked
#define MSG_FIND_PROGRESS 5005      // to the find panel: a book of its search is done (wParam: the search)
#define MSG_FIND_PICK 5006          // wParam: the FoundRow picked in the find panel
#define MSG_CONTROL_KEY 5007        // wParam: a key pressed in lParam, a control; TRUE when taken
#define MSG_TRAY_NOTIFY 32788  // also the tray icon's identifier
#define MSG_LOOKUP_WORD 33267

#endif  // QUILLPAD_RESOURCES_IDS_H
