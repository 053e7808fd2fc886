// JSON strings from the setup's 8-bit ANSI texts. Scripts and registry texts are written in
// the Western Windows code page (1252); the checker's JSON is plain ASCII, every other
// character written as a \u escape of its Unicode value.
#pragma once
#include <cstddef>
#include <string>

// Appends text (length bytes, any bytes, zero bytes included) as a quoted JSON string.
void AppendJsonString(std::string* out, const char* text, size_t length);
void AppendJsonString(std::string* out, const std::string& text);
