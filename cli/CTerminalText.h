#pragma once

#include <string>

// Converts bytes shown as ISO-8859-1 characters to UTF-8 for a terminal or a JSON document.
std::string Latin1ToUtf8(const std::string& text);

// A JSON string literal (with its quotes) of ISO-8859-1 text.
std::string JsonString(const std::string& latin1);
