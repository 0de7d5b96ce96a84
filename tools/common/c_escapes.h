#pragma once

#include <string>

/// Text with C escapes (\r \n \t \\ \" \xHH \ooo ...) as the bytes it stands for; every other
/// byte, UTF-8 included, is kept as it is. Plain C++ so that the simulator can share it.
std::string decodeCEscapes(const std::string &text);
/// Bytes as printable text with C escapes, so that every byte can be read back exactly.
std::string encodeCEscapes(const std::string &bytes);
