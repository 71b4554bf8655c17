// The same workload on SQLite: one table with the template's columns and an index for each tag. A post
// handed to the operating system has its peer in a transaction per insert with synchronous=OFF; one bulk
// transaction is measured as well, for reference.
#include "StampGenerator.h"
#include "store/TemplateTables.h"
#include "Workloads.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>

namespace bench {

namespace {

class Database
{
public:
    explicit Database(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK)
            fail("open");
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void run(const std::string& sql)
    {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }
    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("SQLite: " + what + ": " + sqlite3_errmsg(db_));
    }

private:
    sqlite3* db_ = nullptr;
};

class Statement
{
public:
    Statement(Database& db, const std::string& sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK)
            db.fail(sql);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return statement_; }
    // True while there is a row.
    bool step()
    {
        const int status = sqlite3_step(statement_);
        if (status != SQLITE_ROW && status != SQLITE_DONE)
            db_.fail("step");
        return status == SQLITE_ROW;
    }
    void reset()
    {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    void bindText(int index, const std::string& text)
    {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int index, std::int64_t value) { sqlite3_bind_int64(statement_, index, value); }
    std::string text(int column) const
    {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                     : std::string();
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }

private:
    Database& db_;
    sqlite3_stmt* statement_ = nullptr;
};

std::string lower(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string schema(const std::vector<dbase::FieldSpec>& columns)
{
    std::string sql = "CREATE TABLE stamps (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const dbase::FieldType type = columns[i].type;
        sql += (i ? ", " : "") + lower(columns[i].name) +
               (type == dbase::FieldType::Numeric || type == dbase::FieldType::Float ? " REAL"
                : type == dbase::FieldType::Binary                                   ? " BLOB"
                                                                                     : " TEXT");
    }
    return sql + ");"
                 "CREATE INDEX idx0 ON stamps(recno);"
                 "CREATE INDEX idx1 ON stamps(upper(substr(descript, 1, 99)));";
}

std::string insertStatement(std::size_t columns)
{
    std::string sql = "INSERT INTO stamps VALUES (";
    for (std::size_t i = 0; i < columns; ++i)
        sql += i ? ", ?" : "?";
    return sql + ")";
}

void bindRecord(Statement& insert, const StampGenerator& generator, const std::vector<Cell>& cells)
{
    const std::vector<dbase::FieldSpec>& columns = generator.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Cell& cell = cells[i];
        const int at = static_cast<int>(i) + 1;
        if (cell.blank)
            sqlite3_bind_null(insert.get(), at);
        else if (columns[i].type == dbase::FieldType::Numeric || columns[i].type == dbase::FieldType::Float)
            sqlite3_bind_double(insert.get(), at, cell.number);
        else if (columns[i].type == dbase::FieldType::Binary)
            sqlite3_bind_blob(insert.get(), at, cell.text.data(), static_cast<int>(cell.text.size()),
                              SQLITE_TRANSIENT);
        else
            insert.bindText(at, cell.text);
    }
}

// Appends every record, each insert its own transaction, or all in one.
void appendAll(Database& db, std::int64_t records, bool bulk)
{
    const store::TemplateTable layout = store::recordTemplate();
    StampGenerator generator(layout.fields, 1);
    db.run("PRAGMA synchronous=OFF");
    db.run(schema(layout.fields));
    Statement insert(db, insertStatement(layout.fields.size()));
    if (bulk)
        db.run("BEGIN");
    for (std::int64_t n = 1; n <= records; ++n) {
        bindRecord(insert, generator, generator.next(n));
        insert.step();
        insert.reset();
    }
    if (bulk)
        db.run("COMMIT");
}

} // namespace

BenchResults runSqliteWorkload(std::int64_t records, const std::string& folder)
{
    BenchResults results;
    const std::string path = folder + "/stamps.db";
    {
        Database db(path);
        const Stopwatch watch;
        appendAll(db, records, false);
        results.addTime(figure::append, watch);
    }
    results.add(figure::files, folderMegabytes(folder));
    results.add(figure::appendMemory, peakMemoryMegabytes());
    {
        const std::string bulkPath = folder + "/bulk.db";
        {
            Database db(bulkPath);
            const Stopwatch watch;
            appendAll(db, records, true);
            results.addTime(figure::appendBulk, watch);
        }
        std::filesystem::remove(bulkPath);
    }
    Database db(path);
    db.run("PRAGMA synchronous=OFF");
    {
        const Stopwatch watch;
        db.run("CREATE INDEX idx2 ON stamps(upper(country))");
        results.addTime(figure::buildTag, watch);
    }
    {
        Statement count(db, "SELECT count(*) FROM stamps WHERE upper(substr(descript, 1, 99)) >= ?1 AND "
                            "upper(substr(descript, 1, 99)) <= ?2");
        std::int64_t counted = 0;
        const Stopwatch watch;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const auto [lowerBound, upperBound] = letterRange(letter);
            count.bindText(1, lowerBound);
            count.bindText(2, upperBound);
            count.step();
            counted += count.integer(0);
            count.reset();
        }
        results.addTime(figure::letterCounts, watch);
        results.add(figure::counted, static_cast<double>(counted));
    }
    {
        Statement find(db, "SELECT descript FROM stamps WHERE recno = ?1");
        const std::vector<std::int64_t> targets = seekTargets(records);
        std::size_t length = 0;
        const Stopwatch watch;
        for (std::int64_t target : targets) {
            find.bindInt(1, target);
            if (!find.step())
                throw std::runtime_error("record " + std::to_string(target) + " not found");
            length += find.text(0).size();
            find.reset();
        }
        results.addTime(figure::seek, watch, 1000.0 / static_cast<double>(targets.size()));
        if (length == 0)
            throw std::runtime_error("the records found have no descriptions");
    }
    {
        Statement all(db, "SELECT descript FROM stamps");
        std::int64_t hits = 0;
        const Stopwatch watch;
        while (all.step())
            hits += all.text(0).find(searchedWord) != std::string::npos;
        results.addTime(figure::scan, watch);
        results.add(figure::scanHits, static_cast<double>(hits));
    }
    {
        std::vector<Lap> laps;
        for (int i = 0; i < openRepeats; ++i) {
            const Stopwatch watch;
            Database fresh(path);
            Statement first(fresh,
                            "SELECT descript FROM stamps ORDER BY upper(substr(descript, 1, 99)) LIMIT 1");
            if (!first.step() || first.text(0).empty())
                throw std::runtime_error("the first record has no description");
            laps.push_back(watch.lap());
        }
        results.addMedian(figure::openFirst, laps);
    }
    {
        Statement remove(db, "DELETE FROM stamps WHERE recno = ?1");
        const Stopwatch watch;
        for (std::int64_t n = 10; n <= records; n += 10) {
            remove.bindInt(1, n);
            remove.step();
            remove.reset();
        }
        results.addTime(figure::deletes, watch);
    }
    {
        const Stopwatch watch;
        db.run("VACUUM");
        results.addTime(figure::pack, watch);
        Statement count(db, "SELECT count(*) FROM stamps");
        count.step();
        results.add(figure::packed, static_cast<double>(count.integer(0)));
    }
    results.add(figure::memory, peakMemoryMegabytes());
    return results;
}

} // namespace bench
