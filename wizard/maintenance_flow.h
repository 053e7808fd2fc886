// The maintenance wizards of an installed product: the choice page and the Modify, Update and
// Uninstall flows it appends, with their workers and the choices the pages leave for them.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/component_set.h"

// Whether "Setup.cnf" loaded when the choice page was made; Modify and Update need it.
extern int scriptLoaded;

// Modify: the set the user wants; starts as the installed set (selectedComponents).
extern ComponentSet newComponents;
// Modify and Update always keep the user interface and the short messaging application.
constexpr ComponentSet kKeptComponents = kComponentUI | kComponentSMS;  // 17

// Update: what the worker updates; both are set at the start of every run.
extern uint32_t updateComponents;
extern uint32_t updateProfiles;

// Uninstall: what the user keeps; both are set at the start of every run.
extern uint32_t keepSettings;
extern uint32_t keepSmsData;

// The Updating and Uninstalling pages' worker threads, nullptr when none runs.
extern HANDLE updateThread;
extern HANDLE uninstallThread;

// The smart card files of the payload: "*%sSC.*" with the model name.
int PayloadHasSmartCardFiles();

// Runs the maintenance wizard: the choice page, which appends the chosen flow.
void RunMaintenanceFlow();
// Appends each flow's pages to the running frame.
void AppendModifyPages();
void AppendUpdatePages();
void AppendUninstallPages();

// Deletes the installed files' checksum records ("Software\Xelta\<model>\Diagnostics"), or with
// wholeProductKey the product's whole key.
void DeleteProductKey(int wholeProductKey);

// Template 119: Modify, Update or Uninstall.
INT_PTR CALLBACK MaintenanceChoicePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Modify: templates 120, 122, 123, 124, 125.
INT_PTR CALLBACK ModifyWelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ModifyComponentsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ModifySummaryPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ModifyingPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ModifyFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Takes the old installation away with Remove.cnf and installs newComponents again.
// `parameter` is the address of the Modifying page's window, or null.
DWORD WINAPI ModifyWorker(LPVOID parameter);

// Update: templates 130, 134, 131, 132, 133.
INT_PTR CALLBACK UpdateWelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UpdateOptionsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UpdateSummaryPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UpdatingPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UpdateFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Reinstalls the installed set and/or applies the collected profile texts.
DWORD WINAPI UpdateWorker(LPVOID parameter);

// Uninstall: templates 116, 135, 117, 118.
INT_PTR CALLBACK UninstallWelcomePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UninstallSummaryPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UninstallingPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UninstallFinishPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Removes the card's devices and services, runs Remove.cnf and deletes the product's key.
DWORD WINAPI UninstallWorker(LPVOID parameter);
