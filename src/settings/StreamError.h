#pragma once

#include <QString>
#include <stdexcept>

namespace settings {

// The one family of faults of the value stream: callers that load a list catch this and keep what they
// have read so far.
class StreamError : public std::runtime_error
{
public:
    enum class Kind
    {
        InvalidValue,
        ReadError,
        CannotOpen,
        CannotCreate
    };

    static StreamError invalidValue();                    // "Invalid property value"
    static StreamError readError();                       // "Stream read error"
    static StreamError cannotOpen(const QString& path);   // "Cannot open file <path>"
    static StreamError cannotCreate(const QString& path); // "Cannot create file <path>"

    Kind kind() const { return kind_; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    StreamError(Kind kind, const QString& message);

    Kind kind_;
};

} // namespace settings
