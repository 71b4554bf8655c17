#include "StampGenerator.h"

#include <cstdio>

namespace bench {

namespace {

const std::vector<const char*> subjects = {
    "Penny Black",   "Two Penny Blue", "Inverted Jenny", "Basel Dove",     "Blue Mauritius",
    "Treskilling",   "Zeppelin issue", "Harbour view",   "Queen Victoria", "King George V",
    "Olympic Games", "Airmail",        "Christmas",      "Europa",         "Flowers",
    "Birds of prey", "Lighthouse",     "Railway",        "Ships",          "Wildlife",
    "Xmas seal",     "Year of the Ox", "UPU centenary",  "Definitive",     "Map of the isle",
    "Nobel prize",   "Kangaroo",       "Jubilee",        "Independence",   "Dinosaurs",
    "Explorers",     "Famous women",   "Mountains",      "Wedding",        "Viking ships",
    "Coat of arms",  "1d red",         "3 cents",        "Express letter", "Official",
    "Postage due",   "Quartet block",
};
const std::vector<const char*> details = {
    "plate 1a, four margins",
    "block of four",
    "on cover",
    "perf 14",
    "imperforate",
    "variety: missing colour",
    "with gutter",
    "sheetlet",
    "cancelled to order",
    "first day cover",
    "overprint inverted",
    "watermark sideways",
    "",
    "",
    "",
    "corner margin, plate no.",
    "souvenir sheet",
    "pair",
    "booklet pane",
    "coil strip",
};
const std::vector<const char*> countries = {
    "Great Britain", "United States", "Switzerland", "Mauritius", "Sweden",    "Germany",       "France",
    "Australia",     "Canada",        "India",       "Japan",     "China",     "\xd6sterreich", "Belgium",
    "Netherlands",   "Denmark",       "Norway",      "Italy",     "Spain",     "Portugal",      "Brazil",
    "Argentina",     "Egypt",         "New Zealand", "Ireland",   "Iceland",   "Finland",       "Poland",
    "Hungary",       "Greece",        "Turkey",      "Russia",    "Mexico",    "Chile",         "Peru",
    "South Africa",  "Kenya",         "Malta",       "Cyprus",    "Gibraltar",
};
const std::vector<const char*> conditions = {"Mint never hinged", "Mint hinged", "Used",   "Fine used",
                                             "Very fine",         "Damaged",     "Superb", "Average"};
const std::vector<const char*> faceValues = {"1d",  "2d",  "6d",   "1/-",   "5c",
                                             "10c", "25c", "1 Kr", "50 Pf", "2 Fr"};
const std::vector<const char*> shortWords = {
    "red",     "blue",      "green",    "carmine", "white",  "cream", "crown", "star",
    "none",    "wove",      "laid",     "chalky",  "gummed", "dull",  "shiny", "comb 14",
    "line 12", "rouletted", "postmark", "pen",     "crease", "thin",  "toned", "pulled perf"};
const std::vector<const char*> noteLines = {
    "Bought at the spring auction, lot 1142.",
    "Certificate by the expert committee enclosed.",
    "Small thin at top right, not visible from the front.",
    "From grandfather's collection; album page 12.",
    "Compare with the copy in the reference collection before selling.",
};

} // namespace

StampGenerator::StampGenerator(std::vector<dbase::FieldSpec> columns, std::uint64_t seed)
    : columns_(std::move(columns)), random_(seed)
{}

int StampGenerator::pick(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random_);
}

const char* StampGenerator::word(const std::vector<const char*>& words)
{
    return words[static_cast<std::size_t>(pick(0, static_cast<int>(words.size()) - 1))];
}

std::string StampGenerator::description()
{
    std::string text = std::to_string(pick(1840, 2020)) + " " + word(subjects);
    if (chance(50))
        text = word(subjects) + std::string(", ") + std::to_string(pick(1840, 2020));
    const std::string detail = word(details);
    if (!detail.empty())
        text += ", " + detail;
    return text;
}

std::string StampGenerator::notes()
{
    std::string text;
    for (int lines = pick(1, 4); lines > 0; --lines)
        text += std::string(word(noteLines)) + "\r\n";
    return text;
}

std::string StampGenerator::picture()
{
    // A small BMP-like image: a header and a few KB of pixels.
    std::string bytes = "BM";
    bytes.resize(static_cast<std::size_t>(pick(2000, 6000)));
    for (std::size_t i = 2; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(random_() & 0xFF);
    return bytes;
}

std::string StampGenerator::date(int fromYear, int toYear)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", pick(fromYear, toYear), pick(1, 12), pick(1, 28));
    return text;
}

Cell StampGenerator::valueOf(const dbase::FieldSpec& column, std::int64_t number)
{
    const std::string& name = column.name;
    Cell cell;
    const auto text = [&](std::string value) {
        cell.text = std::move(value);
        cell.blank = cell.text.empty();
        return cell;
    };
    const auto numeric = [&](double value) {
        cell.number = value;
        cell.blank = false;
        return cell;
    };
    if (name == "RECNO")
        return numeric(static_cast<double>(number));
    if (name == "FMARK")
        return text(chance(50) ? "2" : "0");
    if (name == "DESCRIPT")
        return text(description());
    if (name == "COUNTRY")
        return text(word(countries));
    if (name == "CATALOGNO")
        return text("SG " + std::to_string(pick(1, 4000)) + (chance(20) ? "a" : ""));
    if (name == "CONDITION")
        return text(word(conditions));
    if (name == "FACEVALUE")
        return text(word(faceValues));
    if (name == "ISSUED")
        return text(date(1840, 2020));
    if (name == "NOTES")
        return text(chance(40) ? notes() : "");
    if (name == "SMALLPIC")
        return text(chance(10) ? picture() : "");
    if (name == "PICTURE")
        return cell; // the large picture stays out of this benchmark
    if (name == "ATTACHMENT")
        return text(chance(3) ? "C:\\Stamps\\scans\\" + std::to_string(number) + ".jpg" : "");
    switch (column.type) {
    case dbase::FieldType::Numeric:
    case dbase::FieldType::Float:
        if (name == "COST" || name == "MARKET" ? chance(80) : chance(10))
            return numeric(pick(0, 5000000) / 100.0);
        return cell;
    case dbase::FieldType::Date:
        return text(chance(5) ? date(1950, 2020) : "");
    case dbase::FieldType::Character:
        if (name.rfind("CUSTOM", 0) == 0)
            return text(chance(10) ? word(shortWords) : "");
        return text(chance(60) ? std::string(word(shortWords)) +
                                     (chance(30) ? " " + std::string(word(shortWords)) : "")
                               : "");
    default:
        return cell;
    }
}

std::vector<Cell> StampGenerator::next(std::int64_t number)
{
    std::vector<Cell> cells;
    cells.reserve(columns_.size());
    for (const dbase::FieldSpec& column : columns_)
        cells.push_back(valueOf(column, number));
    return cells;
}

void storeStamp(dbase::Table& target, const std::vector<dbase::FieldSpec>& columns,
                const std::vector<Cell>& cells)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Cell& cell = cells[i];
        if (cell.blank)
            continue; // a new record starts blank
        switch (columns[i].type) {
        case dbase::FieldType::Numeric:
        case dbase::FieldType::Float:
            target.setNumber(i, cell.number);
            break;
        case dbase::FieldType::Binary:
        case dbase::FieldType::General:
            target.setBlob(i, cell.text);
            break;
        default:
            target.setString(i, cell.text);
        }
    }
}

void appendStamps(dbase::Table& target, const std::vector<dbase::FieldSpec>& columns, std::int64_t count,
                  std::uint64_t seed)
{
    StampGenerator generator(columns, seed);
    for (std::int64_t n = 1; n <= count; ++n) {
        target.append();
        storeStamp(target, columns, generator.next(n));
        target.post();
    }
}

} // namespace bench
