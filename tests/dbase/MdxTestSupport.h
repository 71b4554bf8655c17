#pragma once

// Records and folders for the expression and index tests: the index reads records only through
// RecordSource, so these tests need no table file.

#include "dbase/Errors.h"
#include "dbase/Expression.h"
#include "dbase/Field.h"
#include "dbase/MdxIndex.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace mdxtest {

// A stamp-like record layout with every column kind a key expression meets.
inline std::vector<dbase::FieldDescriptor> stampFields()
{
    using dbase::FieldType;
    std::vector<dbase::FieldDescriptor> fields = {
        {"NUMBER", FieldType::Numeric, 10, 0, 0},  {"MARK", FieldType::Character, 1, 0, 0},
        {"TITLE", FieldType::Character, 30, 0, 0}, {"DESCR", FieldType::Character, 120, 0, 0},
        {"PRICE", FieldType::Numeric, 12, 2, 0},   {"ISSUED", FieldType::Date, 8, 0, 0},
        {"NOTES", FieldType::Memo, 10, 0, 0},      {"OK", FieldType::Logical, 1, 0, 0},
        {"PIC", FieldType::Binary, 10, 0, 0},      {"RATE", FieldType::Float, 20, 4, 0},
    };
    std::uint32_t offset = 1;
    for (auto& field : fields) {
        field.offset = offset;
        offset += field.length;
    }
    return fields;
}

inline const std::vector<dbase::FieldDescriptor>& fields()
{
    static const auto stamp = stampFields();
    return stamp;
}

// An input and the fault its refusal must name.
struct Refusal
{
    std::string input;
    const char* fault;
};

// The call must fail with a DatabaseError whose message contains fault (and starts with start, if given).
template <class Call>
void expectDatabaseError(Call&& call, const std::string& fault, const std::string& start = {})
{
    try {
        call();
        ADD_FAILURE() << "no DatabaseError; expected: " << fault;
    } catch (const dbase::DatabaseError& error) {
        const std::string message = error.what();
        EXPECT_EQ(message.rfind(start, 0), 0u) << message;
        EXPECT_NE(message.find(fault), std::string::npos) << message;
    }
}

// One record held as the bytes each field stores.
class TestRecord : public dbase::RecordSource
{
public:
    explicit TestRecord(const std::vector<dbase::FieldDescriptor>& fields) : fields_(fields)
    {
        for (const auto& field : fields)
            bytes_.emplace_back(field.length, ' ');
    }

    // Text is left-aligned and numbers right-aligned, as a table stores them.
    TestRecord& set(const std::string& name, const std::string& value)
    {
        const std::size_t i = indexOf(name);
        const dbase::FieldDescriptor& field = fields_[i];
        std::string stored(field.length, ' ');
        if (field.isNumeric())
            stored.replace(field.length - std::min<std::size_t>(value.size(), field.length),
                           std::string::npos, value.substr(0, field.length));
        else
            stored.replace(0, std::min<std::size_t>(value.size(), field.length),
                           value.substr(0, field.length));
        bytes_[i] = stored;
        return *this;
    }
    TestRecord& setMemo(const std::string& name, const std::string& text)
    {
        memos_[indexOf(name)] = text;
        return *this;
    }

    std::string_view fieldBytes(std::size_t index) const override { return bytes_.at(index); }
    std::string memoText(std::size_t index) const override
    {
        const auto found = memos_.find(index);
        return found == memos_.end() ? std::string() : found->second;
    }

private:
    std::size_t indexOf(const std::string& name) const
    {
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (fields_[i].name == name)
                return i;
        throw std::invalid_argument("no field " + name);
    }

    std::vector<dbase::FieldDescriptor> fields_;
    std::vector<std::string> bytes_;
    std::map<std::size_t, std::string> memos_;
};

// The live records of a table, by record number.
class TestRecords : public dbase::LiveRecords
{
public:
    explicit TestRecords(const std::vector<dbase::FieldDescriptor>& fields) : fields_(fields) {}

    TestRecord& add(std::uint32_t number)
    {
        return records_.insert_or_assign(number, TestRecord(fields_)).first->second;
    }
    void erase(std::uint32_t number) { records_.erase(number); }
    const TestRecord& at(std::uint32_t number) const { return records_.at(number); }
    bool contains(std::uint32_t number) const { return records_.count(number) != 0; }
    std::size_t size() const { return records_.size(); }

    void forEach(const std::function<void(std::uint32_t, const dbase::RecordSource&)>& visit) override
    {
        for (const auto& [number, record] : records_)
            visit(number, record);
    }

private:
    std::vector<dbase::FieldDescriptor> fields_;
    std::map<std::uint32_t, TestRecord> records_;
};

// Tag order as the file format defines it, written independently of the engine: keys as unsigned bytes
// (reversed for a descending tag), then record numbers.
struct TagOrder
{
    bool descending = false;
    bool operator()(const dbase::IndexEntry& a, const dbase::IndexEntry& b) const
    {
        const int compared = std::memcmp(a.key.data(), b.key.data(), std::min(a.key.size(), b.key.size()));
        const int order = descending ? -compared : compared;
        if (order != 0)
            return order < 0;
        return a.record < b.record;
    }
};

inline std::string padded(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

inline std::string rightAligned(const std::string& text, std::size_t width)
{
    return std::string(width - text.size(), ' ') + text;
}

// A fresh folder under the system's temporary folder, removed with its contents at the end of the test.
class TemporaryFolder
{
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "mdxtest-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace mdxtest
