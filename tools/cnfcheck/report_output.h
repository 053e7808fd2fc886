// What cnfcheck prints: a text for people and one JSON object for tools, for a script check
// and for a registry-text check. Warnings name the checked file and the line.
#pragma once
#include <string>

#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/script_check.h"

// {"items": [{"list", "line", "fields", "includeMask", "excludeMask", "applies"}...],
//  "warnings": [{"file", "line", "code", "message"}...]}; with withSystems each item also
// names the systems that load it ("systems").
std::string ScriptReportJson(const ScriptReport& report, const std::string& file, bool withSystems);
std::string ScriptReportText(const ScriptReport& report, const std::string& file,
                             const ScriptCheckOptions& options);

// {"ops": [{"root", "key", "name", "type", "data"}...], "stoppedAtLine": N|null,
//  "warnings": [...]}; REG_DWORD data is a number, REG_SZ a string, REG_BINARY hex pairs.
std::string RegistryReportJson(const RegistryReport& report, const std::string& file);
std::string RegistryReportText(const RegistryReport& report, const std::string& file);
