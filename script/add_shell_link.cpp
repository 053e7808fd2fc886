// AddShellLink: a shortcut to an installed file, recorded for the uninstall before it is made.
#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "res/resource.h"
#include "script/context_macros.h"
#include "script/create_shell_link.h"
#include "script/ensure_parent_folder.h"
#include "script/run_progress.h"
#include "script/script_actions.h"
#include "sys/setup_context.h"

namespace {

constexpr char kAddShellLinkAction[] = "AddShellLink";

}  // namespace

void RunAddShellLinkItem(SetupContext& context, ShellLinkItem& item, ComponentSet selection,
                         RunProgress& progress) {
  if (!Applies(item, selection)) return;

  // Every field is expanded in place, also behind one that does not fit.
  int expanded = ExpandContextMacros(context, item.link, sizeof item.link);
  expanded &= ExpandContextMacros(context, item.target, sizeof item.target);
  expanded &= ExpandContextMacros(context, item.description, sizeof item.description);
  expanded &= ExpandContextMacros(context, item.iconFile, sizeof item.iconFile);
  progress.StartItem(IDS_ACTION_INSTALLING, item.target);
  // A field that outgrew its buffer would name another file: no shortcut is made.
  if (!expanded) return;

  // Only a target that is there gets a shortcut: a component whose files were not installed
  // gets none.
  if (!PathFileExistsA(item.target)) return;
  EnsureParentFolder(item.link);

  // Recorded first: a shortcut whose save fails is passed over by the uninstall.
  char line[MAX_PATH + 4];
  CopyText(line, sizeof line, item.link);
  AppendText(line, sizeof line, ",,,,");
  context.AppendUninstallRecord(kAddShellLinkAction, line, item.includeMask);

  CreateShellLink(item.link, item.target, item.description, item.iconFile, item.iconIndex);
}
