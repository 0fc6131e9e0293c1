#include "Ansi.h"

#include <QFile>

namespace sveltor {

QString FromAnsi(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string ToAnsi(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

} // namespace sveltor
