// The checker's words for what the loader noticed about a line.
#pragma once
#include <string>

#include "core/script_parser.h"

// One sentence naming what the setup does with the line: drops it, cuts it, or reads it as
// something else. Fields are named as the setup names them ("destination", "iconIndex").
std::string DescribeScriptNote(const ScriptDiagnostic& note);

// The name of field (0-based) of an action's line, "" when the action has no such field.
const char* ActionFieldName(ScriptAction action, int field);
