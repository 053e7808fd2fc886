// The Install flow: its pages in order and the choices they leave for the installation.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/component_set.h"

// Page indices of the Install flow, for the redirects that skip the Components page.
constexpr int kSetupTypePageIndex = 3;
constexpr int kSummaryPageIndex = 5;

// The components to install, set by the Setup type and Components pages.
extern ComponentSet selectedComponents;
// kSetupCustom, kSetupTypical or kSetupAdministrator; 0 until the Setup type page was left.
extern uint32_t setupType;

// Appends the Install pages to the frame and runs it.
void RunInstallFlow();

// The page procedures, one file each.
INT_PTR CALLBACK WelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LicensePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FolderPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SetupTypePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ComponentsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SummaryPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
