#ifndef NOVLA_RESOURCE_IDS_H
#define NOVLA_RESOURCE_IDS_H
/* Resource and control identifiers, shared by the resource scripts and the
   code. Controls are grouped by page in hundreds: 100s frame, 200s welcome,
   300s licence, 400s destination, 500s progress, 600s finish. */

#define FRAME_CLASS_NAME "SetupDlg"
#define SETUP_TITLE "NOVLA Setup"

/* Icons and the banner. */
#define IDI_PRODUCT 100
#define IDI_FILES 101
#define IDI_SHORTCUTS 102
#define IDB_BANNER 200

/* Dialog templates. */
#define IDD_FRAME 1001
#define IDD_WELCOME 1002
#define IDD_LICENSE 1003
#define IDD_DESTINATION 1004
#define IDD_PROGRESS 1005
#define IDD_FINISH 1006

/* Frame. */
#define IDC_PAGE_AREA 100
#define IDC_CONTINUE 101
#define IDC_CANCEL 102

/* Welcome page. */
#define IDC_WELCOME_FRAME 200
#define IDC_WELCOME_ICON 201
#define IDC_BANNER_LINES 202
#define IDC_INTRO_LABEL 203
#define IDC_WELCOME_TEXT 204
#define IDC_NOTES_LABEL 205
#define IDC_WARNING_TEXT 206

/* Licence page. */
#define IDC_LICENSE_TEXT 300
#define IDC_ACCEPT 301

/* Destination page. */
#define IDC_DEST_DESCRIPTION 400
#define IDC_DEST_FOLDER 401
#define IDC_BROWSE 402
#define IDC_RESET 403
#define IDC_REQUIRED_SPACE 404
#define IDC_SCOPE_GROUP 405
#define IDC_SCOPE_USER 406
#define IDC_SCOPE_ALL 407

/* Progress page. */
#define IDC_FILE_LABEL 500
#define IDC_FILE_BAR 501
#define IDC_SHORTCUT_LABEL 505
#define IDC_SHORTCUT_BAR 506

/* Finish page. */
#define IDC_DONE_TEXT 600
#define IDC_GUIDE_TEXT 601
#define IDC_RUN_ON_EXIT 602

/* Installation timer of the progress page. */
#define IDT_INSTALL 2007

#endif
