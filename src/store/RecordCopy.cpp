#include "RecordCopy.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"

namespace store {

namespace {

// False when a value could not be read or taken; the other values are copied all the same.
bool copyValues(dbase::Table& source, dbase::Table& target)
{
    bool intact = true;
    for (std::size_t column = 0; column < target.fieldCount(); ++column) {
        try {
            target.assignField(column, source, column);
        } catch (const dbase::EngineError&) {
            intact = false;
        } catch (const dbase::DatabaseError&) {
            intact = false;
        }
    }
    return intact;
}

} // namespace

CopyResult CopyRecords(dbase::Table& source, dbase::Table& target, CopyProgress* progress)
{
    CopyResult result;
    if (progress)
        progress->start(static_cast<int>(source.recordCount()));
    for (source.first(); !source.eof(); source.next()) {
        target.append();
        const bool intact = copyValues(source, target);
        try {
            target.setNumber(0, result.nextNumber);
            target.post();
            ++result.nextNumber;
            if (!intact)
                ++result.failedRecords;
        } catch (const dbase::DatabaseError&) {
            target.cancel();
            ++result.failedRecords;
        }
        if (progress)
            progress->advance();
    }
    return result;
}

} // namespace store
