// JSON string literals from bytes of any kind: menu texts are stored in
// Windows code pages, so what is not valid UTF-8 becomes U+FFFD.
#pragma once

#include <string>

// `bytes` as a quoted JSON string: valid UTF-8 kept, every other byte
// replaced by U+FFFD, `"` `\` and control characters escaped.
std::string JsonString(const std::string& bytes);
