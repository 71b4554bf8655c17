#pragma once

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

// Writes the fuzzer's bytes as one file of a table, then opens, walks, reads and checks the table. Only the
// engine's own errors may come out; anything else (a crash, a sanitizer report, another exception) is a
// finding.
inline void exerciseTable(const std::string& dbf, const std::string& dbt)
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/tessary-fuzz-XXXXXX";
        return std::string(::mkdtemp(pattern));
    }();
    for (const auto& [name, bytes] : {std::pair{"t.dbf", &dbf}, std::pair{"t.dbt", &dbt}}) {
        std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
        out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    }
    try {
        dbase::Table table;
        table.open(folder, "t.dbf");
        int rows = 0;
        for (table.first(); !table.eof() && rows < 64; table.next(), ++rows) {
            for (std::size_t i = 0; i < table.fieldCount(); ++i) {
                try {
                    table.isNull(i);
                    table.asString(i);
                    table.asNumber(i);
                    table.asDate(i);
                    table.memoLines(i);
                } catch (const dbase::EngineError&) {
                }
            }
        }
        table.recordCount();
        table.last();
        table.moveBy(-3);
    } catch (const dbase::DatabaseError&) {
    }
    dbase::checkTable(folder, "t.dbf");
}
