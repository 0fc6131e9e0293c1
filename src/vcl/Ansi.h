#pragma once

#include <QString>

#include <string>

namespace sveltor {

// Texts of the core are bytes in the program's code page, the one its file names are
// in; Qt's file-name codec converts them both ways.
QString FromAnsi(const std::string& bytes);
std::string ToAnsi(const QString& text);

} // namespace sveltor
