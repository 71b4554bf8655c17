#pragma once

namespace dbase {
class Table;
}

namespace store {

// Told how far a long copy has come; the progress window of the record window answers it.
class CopyProgress
{
public:
    virtual ~CopyProgress() = default;
    virtual void start(int total) = 0;
    virtual void advance() = 0;
};

struct CopyResult
{
    int nextNumber = 1;    // one more than the records stored
    int failedRecords = 0; // records with a damaged value, or that could not be posted
};

// Appends every record of source, in its order, to target, a table of the same structure, and renumbers
// them 1, 2, 3 ... in column 0. A record with a damaged memo or picture keeps its other values and counts
// as failed; one that cannot be posted is left out and counts as failed. A failure to read the source
// (a DatabaseError) ends the copy and is passed on.
CopyResult CopyRecords(dbase::Table& source, dbase::Table& target, CopyProgress* progress = nullptr);

} // namespace store
