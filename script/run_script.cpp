// The install run: the loaded script's lists carried out for one component selection, in
// the order that lets later steps rely on earlier ones (registry and INI settings before the
// files, files before the shortcuts that point at them and before the edits of installed
// text files), with every created thing recorded in Remove.cnf as it is made.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/context_macros.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/module_instance.h"
#include "sys/setup_context.h"
#include "sys/setup_log.h"

namespace {

constexpr char kAddFileAction[] = "AddFile";
constexpr char kAddFolderAction[] = "AddFolder";
constexpr char kUninstallScriptRecord[] = ",%TARGETFOLDER%\\Remove.cnf";
constexpr char kMenuFolderFormat[] = "Xelta\\Xelta %s";

template <typename Item, typename Handler>
void RunList(SetupContext& context, const OwnedList<Item>& list, ComponentSet selection,
             RunProgress& progress, Handler handler) {
  for (size_t i = 0; i < list.Count(); ++i) {
    handler(context, *list.At(i), selection, progress);
    progress.EndItem();
  }
}

// Records folder and each of its parents, deepest first, up to but not including its root,
// so the uninstall removes every level the install may have created once it is empty.
void RecordFolderAndParents(SetupContext& context, const char* folder) {
  char walk[MAX_PATH];
  CopyText(walk, sizeof walk, folder);
  for (;;) {
    context.AppendUninstallRecord(kAddFolderAction, walk, 0);
    char previous[MAX_PATH];
    CopyText(previous, sizeof previous, walk);
    PathRemoveFileSpecA(walk);
    char root[MAX_PATH];
    CopyText(root, sizeof root, walk);
    PathStripToRootA(root);
    if (EqualsNoCase(walk, root)) break;
    if (EqualsNoCase(walk, previous)) break;  // a path that does not shorten has no more parents
  }
}

// The product's program-menu folder and the maker's folder above it.
void RecordMenuFolders(SetupContext& context) {
  char model[kTextBufferSize];
  if (LoadText(IDS_MODEL_NAME, model) == 0) return;
  char menuFolder[MAX_PATH];
  const int length = std::snprintf(menuFolder, sizeof menuFolder, kMenuFolderFormat, model);
  if (length < 0 || static_cast<size_t>(length) >= sizeof menuFolder) return;
  char folder[MAX_PATH];
  if (!CopyText(folder, sizeof folder, context.programsFolder) || !PathAppendA(folder, menuFolder)) {
    return;
  }
  context.AppendUninstallRecord(kAddFolderAction, folder, 0);
  PathRemoveFileSpecA(folder);
  context.AppendUninstallRecord(kAddFolderAction, folder, 0);
}

void WriteClosingRecords(SetupContext& context) {
  // The uninstall script records itself, so the uninstall deletes it too.
  char line[MAX_PATH];
  CopyText(line, sizeof line, kUninstallScriptRecord);
  if (ExpandContextMacros(context, line, sizeof line)) {
    context.AppendUninstallRecord(kAddFileAction, line, kComponentUI);
  }
  RecordFolderAndParents(context, context.targetFolder);
  RecordMenuFolders(context);
}

}  // namespace

void SetupContext::RunScript(HWND window, ComponentSet selection, int applyProfiles) {
  LogAction("Install script: components 0x%02lX", static_cast<unsigned long>(selection));
  RunProgress progress(window, script.RunItemCount());

  RunList(*this, script.iniSectionItems, selection, progress, RunReplaceIniSectionItem);
  RunList(*this, script.regFileItems, selection, progress, RunAddRegFileItem);
  RunList(*this, script.regValueItems, selection, progress, RunAddRegValueItem);
  if (applyProfiles) {
    ApplyProfileTexts(nwpProfiles);
    ApplyProfileTexts(nwkProfiles);
  }
  RunList(*this, script.updateItems, selection, progress, RunUpdateFileItem);
  RunList(*this, script.appendItems, selection, progress, RunAppendFileItem);
  RunList(*this, script.fileItems, selection, progress, RunAddFileItem);
  RunList(*this, script.shellLinkItems, selection, progress, RunAddShellLinkItem);
  // EnableTextLine and DisableTextLine items share one list, in script order.
  RunList(*this, script.textLineItems, selection, progress, RunTextLineItem);

  WriteClosingRecords(*this);
  FlushSetupLog();
}
