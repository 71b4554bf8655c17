#include "StreamError.h"

namespace settings {

StreamError::StreamError(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString()), kind_(kind)
{}

StreamError StreamError::invalidValue()
{
    return {Kind::InvalidValue, QStringLiteral("Invalid property value")};
}

StreamError StreamError::readError()
{
    return {Kind::ReadError, QStringLiteral("Stream read error")};
}

StreamError StreamError::cannotOpen(const QString& path)
{
    return {Kind::CannotOpen, QStringLiteral("Cannot open file %1").arg(path)};
}

StreamError StreamError::cannotCreate(const QString& path)
{
    return {Kind::CannotCreate, QStringLiteral("Cannot create file %1").arg(path)};
}

} // namespace settings
