#pragma once

#include <QString>

/// What the system says of an error number, in the window's language: the errors a file can
/// meet in the C library's own Chinese words (English in the English window), any other as the
/// C library gives it.
namespace SystemError {
QString text(int errorNumber);
} // namespace SystemError
