#include "Errors.h"
#include "FieldCodec.h"
#include "TableImpl.h"

#include <charconv>

namespace dbase {

namespace fc = fieldcodec;

// --- Memo values ---------------------------------------------------------------------------------------

const std::string& Table::Impl::memoValue(std::size_t index)
{
    MemoSlot& slot = memos.at(index);
    if (slot.loaded)
        return slot.value;
    std::optional<std::uint32_t> block = fc::parseMemoBlock(fieldBytes(index));
    if (block && *block != 0) {
        TableLock lock(*this, false, false); // the index plays no part
        if (state == State::Browse && current != 0) {
            // The row may have been rewritten by someone else since it was read, and its old blocks
            // reused: the pointer is only good together with the record as it is now.
            std::string fresh = readRecordLocked(current);
            if (fresh != row) {
                row = std::move(fresh);
                resetMemos();
                block = fc::parseMemoBlock(fieldBytes(index));
            }
        }
        if (block && *block != 0)
            memos[index].value = memo.read(*block);
    }
    if (!block)
        throw EngineError("damaged memo pointer in column " + field(index).name + " of " + dbf.path());
    memos[index].loaded = true;
    return memos[index].value;
}

std::uint64_t Table::Impl::memoSizeAt(std::uint32_t block)
{
    TableLock lock(*this, false, false); // the index plays no part
    return memo.valueSize(block);
}

void Table::Impl::setMemoValue(std::size_t index, std::string value)
{
    requireEditing();
    MemoSlot& slot = memos.at(index);
    if (!slot.changed) {
        // Storing an unchanged picture again must not cost a rewrite of megabytes.
        try {
            if (memoValue(index) == value)
                return;
        } catch (const EngineError&) {
            // a damaged old value is simply replaced
        }
    }
    slot.value = std::move(value);
    slot.loaded = true;
    slot.changed = true;
    modified = true;
}

std::vector<std::uint32_t> Table::Impl::writeChangedMemosLocked(std::string& image, const std::string* before)
{
    std::vector<std::uint32_t> replaced;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const FieldDescriptor& f = header.fields[i];
        if (!f.usesMemoFile() || !memos[i].changed)
            continue;
        const std::uint32_t block = memos[i].value.empty() ? 0 : memo.write(memos[i].value);
        image.replace(f.offset, f.length, fc::formatMemoBlock(block, f.length));
        if (before) {
            const auto old = fc::parseMemoBlock(std::string_view(*before).substr(f.offset, f.length));
            if (old && *old != 0 && *old != block)
                replaced.push_back(*old);
        }
    }
    return replaced;
}

// --- Field values --------------------------------------------------------------------------------------

bool Table::isNull(std::size_t index) const
{
    const FieldDescriptor& f = d->field(index);
    if (f.usesMemoFile()) {
        const Impl::MemoSlot& slot = d->memos.at(index);
        if (slot.loaded)
            return slot.value.empty();
        const auto block = fc::parseMemoBlock(d->fieldBytes(index));
        if (!block || *block == 0)
            return block.has_value();
        try {
            return d->memoSizeAt(*block) == 0;
        } catch (const EngineError&) {
            return false; // reading the value reports the damage
        }
    }
    const std::string_view bytes = d->fieldBytes(index);
    if (f.isNumeric()) {
        const auto number = fc::parseNumber(bytes);
        return number && number->blank;
    }
    if (f.isDate()) {
        const auto date = Date::fromStored(bytes);
        return !date || date->isBlank();
    }
    if (f.isLogical())
        return fc::parseLogical(bytes[0]).value_or(' ') == ' ';
    return bytes.find_first_not_of(std::string_view(" \0", 2)) == std::string_view::npos;
}

void Table::clear(std::size_t index)
{
    const FieldDescriptor& f = d->field(index);
    d->requireEditing();
    if (f.usesMemoFile())
        d->setMemoValue(index, {});
    else
        d->putFieldBytes(index, std::string(f.length, ' '));
}

std::string Table::asString(std::size_t index) const
{
    const FieldDescriptor& f = d->field(index);
    if (f.usesMemoFile())
        return d->memoValue(index);
    const std::string_view bytes = d->fieldBytes(index);
    if (f.isNumeric())
        return std::string(fc::trimBlanks(bytes));
    if (f.isDate()) {
        const auto date = Date::fromStored(bytes);
        return date && !date->isBlank() ? date->toStored() : std::string();
    }
    if (f.isLogical()) {
        const char value = fc::parseLogical(bytes[0]).value_or(' ');
        return value == ' ' ? std::string() : std::string(1, value);
    }
    const std::size_t nul = bytes.find('\0');
    return std::string(fc::trimTrailingBlanks(bytes.substr(0, nul)));
}

void Table::setString(std::size_t index, std::string_view value)
{
    const FieldDescriptor& f = d->field(index);
    d->requireEditing();
    if (f.usesMemoFile()) {
        d->setMemoValue(index, std::string(value));
    } else if (f.isNumeric()) {
        const auto number = fc::parseNumber(value);
        if (!number)
            throw DatabaseError("\"" + std::string(value) + "\" is not a number (column " + f.name + ")");
        if (number->blank)
            clear(index);
        else
            setNumber(index, number->value);
    } else if (f.isDate()) {
        const auto date = value.empty() ? std::optional<Date>(Date{}) : Date::fromStored(value);
        if (!date || value.size() > 8)
            throw DatabaseError("\"" + std::string(value) + "\" is not a date (column " + f.name + ")");
        setDate(index, *date);
    } else if (f.isLogical()) {
        const auto logical =
            value.size() <= 1 ? fc::parseLogical(value.empty() ? ' ' : value[0]) : std::nullopt;
        if (!logical || value == "?")
            throw DatabaseError("\"" + std::string(value) + "\" is not a logical value (column " + f.name +
                                ")");
        d->putFieldBytes(index, std::string(1, *logical));
    } else {
        std::string text(value.substr(0, f.length));
        text.resize(f.length, ' ');
        d->putFieldBytes(index, text);
    }
}

double Table::asNumber(std::size_t index) const
{
    const FieldDescriptor& f = d->field(index);
    if (!f.isNumeric() && !f.isText())
        return 0;
    const auto number = fc::parseNumber(d->fieldBytes(index));
    return number ? number->value : 0;
}

void Table::setNumber(std::size_t index, double value)
{
    const FieldDescriptor& f = d->field(index);
    d->requireEditing();
    if (f.isNumeric()) {
        const auto stored = fc::formatNumber(f, value);
        if (!stored)
            throw DatabaseError("the number " + std::to_string(value) + " does not fit column " + f.name);
        d->putFieldBytes(index, *stored);
    } else if (f.isText()) {
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        setString(index, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
    } else {
        throw DatabaseError("column " + f.name + " does not hold numbers");
    }
}

Date Table::asDate(std::size_t index) const
{
    const FieldDescriptor& f = d->field(index);
    if (!f.isDate() && !f.isText())
        return {};
    return Date::fromStored(fc::trimBlanks(d->fieldBytes(index))).value_or(Date{});
}

void Table::setDate(std::size_t index, const Date& value)
{
    const FieldDescriptor& f = d->field(index);
    d->requireEditing();
    if (!value.isBlank() && !value.isValid())
        throw DatabaseError("not a valid date for column " + f.name);
    if (f.isDate())
        d->putFieldBytes(index, value.toStored());
    else if (f.isText())
        setString(index, value.isBlank() ? std::string() : value.toStored());
    else
        throw DatabaseError("column " + f.name + " does not hold dates");
}

bool Table::asBool(std::size_t index) const
{
    const FieldDescriptor& f = d->field(index);
    const std::string_view bytes = d->fieldBytes(index);
    if (f.isLogical() || f.isText())
        return !bytes.empty() && fc::parseLogical(bytes[0]).value_or(' ') == 'T';
    return false;
}

void Table::setBool(std::size_t index, bool value)
{
    const FieldDescriptor& f = d->field(index);
    if (!f.isLogical() && !f.isText())
        throw DatabaseError("column " + f.name + " does not hold logical values");
    setString(index, value ? "T" : "F");
}

std::vector<std::string> Table::memoLines(std::size_t index) const
{
    const std::string text = asString(index);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void Table::setMemoLines(std::size_t index, const std::vector<std::string>& lines)
{
    // Every line ends with CR LF, so that empty lines, the last one included, survive the round trip.
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    if (!d->field(index).usesMemoFile() && !text.empty())
        text.resize(text.size() - 2);
    setString(index, text);
}

std::string Table::blob(std::size_t index) const
{
    return asString(index);
}

void Table::setBlob(std::size_t index, std::string_view bytes)
{
    setString(index, bytes);
}

void Table::assignField(std::size_t index, const Table& source, std::size_t sourceIndex)
{
    const FieldDescriptor& to = d->field(index);
    const FieldDescriptor& from = source.fieldDescriptor(sourceIndex);
    d->requireEditing();
    if (source.isNull(sourceIndex))
        clear(index);
    else if (to.isNumeric() && from.isNumeric())
        setNumber(index, source.asNumber(sourceIndex));
    else if (to.isDate() && from.isDate())
        setDate(index, source.asDate(sourceIndex));
    else
        setString(index, source.asString(sourceIndex));
}

} // namespace dbase
