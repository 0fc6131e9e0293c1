#pragma once

#include <exception>
#include <string>

namespace sveltor {

// A failure of a platform call. The message names the file and the cause and is shown
// to the user as it stands; the exception display adds the final full stop.
class Exception : public std::exception {
public:
    explicit Exception(std::string message, int errorCode = 0)
        : FMessage(std::move(message)), FErrorCode(errorCode) {}

    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const noexcept { return FMessage; }
    // The errno of the failing call, or 0 when the failure is not the system's.
    int ErrorCode() const noexcept { return FErrorCode; }

private:
    std::string FMessage;
    int FErrorCode;
};

// `<action> "<file>": <cause>`, the cause being strerror(errorCode) unless given.
std::string FileErrorMessage(const char* action, const std::string& file, int errorCode,
                             const char* cause = nullptr);

// A file could not be opened.
class EFOpenError : public Exception {
public:
    EFOpenError(const std::string& file, int errorCode, const char* cause = nullptr)
        : Exception(FileErrorMessage("Cannot open file", file, errorCode, cause), errorCode) {}
};

// A file could not be created.
class EFCreateError : public Exception {
public:
    EFCreateError(const std::string& file, int errorCode, const char* cause = nullptr)
        : Exception(FileErrorMessage("Cannot create file", file, errorCode, cause), errorCode) {}
};

// A read failed or returned fewer bytes than asked.
class EReadError : public Exception {
public:
    EReadError(const std::string& file, int errorCode, const char* cause = nullptr)
        : Exception(FileErrorMessage("Cannot read file", file, errorCode, cause), errorCode) {}
};

// A write, flush or close failed or stored fewer bytes than asked.
class EWriteError : public Exception {
public:
    EWriteError(const std::string& file, int errorCode, const char* cause = nullptr)
        : Exception(FileErrorMessage("Cannot write file", file, errorCode, cause), errorCode) {}
};

// Any other failure of the file system: a directory that cannot be entered, a rename,
// a delete, a path too long.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// Not enough memory for a file's buffer.
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

// Ends an operation quietly: the exception display drops it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

} // namespace sveltor
