#pragma once
// The wizard's pages (welcome, licence, destination, finish): their dialog
// procedures, which the frame creates them with, and the tests the frame asks
// of them before it moves on. The progress page is payload/install_run.h.
#include "common/win32.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void InitWelcomePage(HWND page);
INT_PTR ColourBannerText(HDC dc, HWND control);

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void InitLicensePage(HWND page);
void OnLicenseCommand(HWND page, int controlId, int code);
void SyncContinueWithAccept(HWND page);
// True when the licence page's accept box (301) is checked.
bool IsLicenseAccepted(HWND page);

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void InitDestinationPage(HWND page);
void OnDestinationCommand(HWND page, int controlId, int code);
void BrowseInstallFolder(HWND page);
void ResetInstallFolder(HWND page);
void ReadShortcutScope(HWND page);
void ShowRequiredSpace(HWND page);
// 1 when the typed folder is valid and committed to the program folder, 0
// when it was rejected (the user has been told why).
int ValidateInstallFolder(HWND page);

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void InitFinishPage(HWND page);
void OnFinishCommand(HWND page, int controlId, int code);
void ReadRunOnExit(HWND page);
