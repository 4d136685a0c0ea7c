#pragma once
// The wizard's pages (welcome, licence, destination, progress, finish):
// their dialog procedures, which the frame creates them with, and the tests
// the frame asks of them before it moves on.
//
// Failures in the wizard: what stops the user is shown in a box (a folder
// that is refused, a page that cannot be made, a damaged setup file) and
// the wizard stays or ends as the box says. Calls that only present (texts,
// fonts, colours, placement, control states) are not examined: a control
// that keeps its template's look does not stop the installation.
#include "common/win32.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// True when the licence page's accept box (IDC_ACCEPT) is checked.
bool IsLicenseAccepted(HWND page);

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// 1 when the typed folder is valid and committed to the program folder, 0
// when it was rejected (the user has been told why).
int ValidateInstallFolder(HWND page);

// Half a second after the progress page (template IDD_PROGRESS) opens, its
// one-shot timer runs the whole installation: extraction, shortcuts,
// registration, then Continue posted to the frame; Cancel after the abort
// message when the extraction or the shortcut step fails.
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
