// The uninstall worker: everything the Uninstalling page does away from the user-interface
// thread. Every step goes on after a failing one; what cannot be deleted stays.
#include <memory>

#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/device_steps.h"
#include "device/driver_steps.h"
#include "sys/globals.h"
#include "wizard/maintenance_flow.h"
#include "wizard/wizard_messages.h"

namespace {

constexpr char kSmsDataPattern[] = "*.sms";

// A script item that deletes the short messages of folder after the script's own files.
void AddSmsDataItem(const char* folder) {
  auto item = std::make_unique<FileItem>();
  CopyText(item->destination, sizeof item->destination, folder);
  if (!PathAppendA(item->destination, kSmsDataPattern)) return;
  setupContext.script.fileItems.Append(std::move(item));
}

}  // namespace

DWORD WINAPI UninstallWorker(LPVOID parameter) {
  HWND page = parameter ? *static_cast<HWND*>(parameter) : nullptr;
  if (!keepSmsData) {
    AddSmsDataItem(setupContext.targetFolder);
    AddSmsDataItem(setupContext.commonDocumentsFolder);
    AddSmsDataItem(setupContext.personalFolder);
  }
  StopCardStack(page);
  RemoveCardStack(page);
  payloadArchive.flags |= OverwriteExisting;
  setupContext.RunUninstall(page);
  // Keeping the settings keeps the product's key with its profiles, settings and installation
  // record; only the checksums of the removed files go.
  DeleteProductKey(keepSettings ? 0 : 1);
  RemoveCardStack(page);
  if (page) PostMessageA(page, kMsgWorkDone, 0, 0);
  return 0;
}
