#include "Exception.h"

#include <cstring>

namespace sveltor {

std::string FileErrorMessage(const char* action, const std::string& file, int errorCode,
                             const char* cause) {
    std::string text = action;
    text += " \"";
    text += file;
    text += "\": ";
    if (cause != nullptr)
        text += cause;
    else if (errorCode != 0)
        text += std::strerror(errorCode);
    else
        text += "Unknown error";
    return text;
}

} // namespace sveltor
