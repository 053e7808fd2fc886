// What cnfcheck prints: a text for people and one JSON object for tools, for a script check
// and for a registry-text check. Warnings name the checked file and the line.
#pragma once
#include <cstdio>
#include <string>

#include "tools/cnfcheck/registry_check.h"
#include "tools/cnfcheck/script_check.h"

// {"items": [{"list", "line", "fields", "includeMask", "excludeMask", "applies"}...],
//  "warnings": [{"file", "line", "code", "message"}...]}; with withSystems each item also
// names the systems that load it ("systems"); "repeatedWarnings" counts the identical warnings
// beyond the first ten of each.
// `text` is the script the report was made from: the items' fields are read from it again.
// The text form writes control bytes of the script as \xNN.
std::string ScriptReportJson(const ScriptReport& report, const char* text, size_t size, const std::string& file,
                             const ScriptCheckOptions& options);
std::string ScriptReportText(const ScriptReport& report, const char* text, size_t size, const std::string& file,
                             const ScriptCheckOptions& options);
// Writes either form to `to` in blocks as it is made.
void WriteScriptReport(const ScriptReport& report, const char* text, size_t size, const std::string& file,
                       const ScriptCheckOptions& options, bool json, std::FILE* to);

// {"ops": [{"root", "key", "name", "type", "data"}...], "stoppedAtLine": N|null,
//  "warnings": [...]}; REG_DWORD data is a number, REG_SZ a string, REG_BINARY hex pairs.
std::string RegistryReportJson(const RegistryReport& report, const std::string& file);
std::string RegistryReportText(const RegistryReport& report, const std::string& file);
