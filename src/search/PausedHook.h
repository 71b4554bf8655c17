#pragma once

#include "dbase/Table.h"

namespace search {

// Takes a table's before-post hook away for a run that writes the filter marks itself, and gives it back
// when the run ends, however it ends.
class PausedHook
{
public:
    explicit PausedHook(dbase::Table& table) : m_table(table), m_hook(std::move(table.beforePost))
    {
        table.beforePost = nullptr;
    }
    ~PausedHook() { m_table.beforePost = std::move(m_hook); }
    PausedHook(const PausedHook&) = delete;
    PausedHook& operator=(const PausedHook&) = delete;

private:
    dbase::Table& m_table;
    dbase::Table::Handler m_hook;
};

} // namespace search
