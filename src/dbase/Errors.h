#pragma once

#include <stdexcept>

namespace dbase {

// A table that cannot be opened, created or written, a lock held by someone else, a failed post,
// a damaged table or index structure, a refused index expression.
class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Another table object holds what was asked for: the record's lock, or the table itself (in use, or open
// exclusively). Nothing is wrong with the files; trying again later may succeed.
class LockError : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// A damaged memo or binary value: the table itself is usable, one value of it is not.
class EngineError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace dbase
