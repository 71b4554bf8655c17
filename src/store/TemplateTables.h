#pragma once

#include "dbase/Field.h"
#include "dbase/Table.h"

#include <string>
#include <vector>

namespace store {

// The empty tables the program copies whenever it needs a new one. The program never defines columns
// itself: it learns them from these tables at run time, so these lists are the one place that fixes them.
struct TemplateTable
{
    std::string fileName;
    std::vector<dbase::FieldSpec> fields;
    std::vector<dbase::TagInfo> tags;
};

// "data.dbf": record number, filter mark and the 28 stamp fields.
TemplateTable recordTemplate();
// "master.dbf": one row per database of a folder.
TemplateTable tableListTemplate();
// "list.dbf": one lookup value per row.
TemplateTable lookupListTemplate();

// Writes the three templates and the spare index files "DATA.MDX" and "MASTER.MDX" into folder.
void writeTemplateTables(const std::string& folder);

} // namespace store
