// Restart at the next logon when the session ends with the menu open.
#pragma once

#include <string>

bool RegisterRunOnce(const std::string& valueName, const std::string& commandLine);
