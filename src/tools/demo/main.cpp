// Seeds a program folder's public database with a small demo catalog, so a first run has something to
// browse. It goes through the same database code as the program, so numbering and the table list agree.
#include "dbase/Errors.h"
#include "settings/SortSettings.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"

#include <cstdio>
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

namespace {

class SilentPrompts : public store::Prompts
{
public:
    void error(const QString& text, int) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void warning(const QString& text, int) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void information(const QString&, int) override {}
    bool askYesNo(const QString&, int) override { return false; }
};

struct Stamp
{
    const char* description;
    const char* country;
    int year;
    const char* faceValue;
    double cost;
};

// Made-up issues: designs a collector would recognise by kind, not by any real catalog.
constexpr Stamp stamps[] = {
    {"Harbour lighthouse at dusk", "Norway", 1962, "50 ore", 1.20},
    {"Alpine marmot", "Switzerland", 1971, "30 c", 0.80},
    {"Coronation portrait, carmine", "Canada", 1953, "4 c", 2.50},
    {"Steam locomotive 'Pacific'", "France", 1985, "2,20 F", 1.10},
    {"Tulip field", "Netherlands", 1977, "45 c", 0.60},
    {"Kookaburra on branch", "Australia", 1964, "6 d", 3.40},
    {"Cathedral spire", "Germany", 1990, "100 Pf", 1.50},
    {"Monarch butterfly", "Mexico", 1988, "300 $", 0.90},
    {"Olympic rowing", "Italy", 1960, "25 L", 1.80},
    {"Maple leaf definitive", "Canada", 1967, "5 c", 0.30},
    {"Fishing boats at anchor", "Portugal", 1979, "7,50 E", 1.40},
    {"Moose in the snow", "Sweden", 1984, "2,10 Kr", 1.00},
    {"Baobab tree", "Senegal", 1974, "40 F", 2.20},
    {"Tea pickers", "Sri Lanka", 1981, "1 R", 0.70},
    {"Royal yacht", "Great Britain", 1937, "1 1/2 d", 6.50},
    {"Harp seal pup", "Canada", 1977, "12 c", 1.30},
    {"Folk dancers", "Hungary", 1958, "60 f", 1.10},
    {"Space probe", "United States", 1972, "8 c", 0.50},
    {"Windmill on the dyke", "Netherlands", 1963, "12 c", 0.90},
    {"Condor over the Andes", "Chile", 1970, "2 E", 2.80},
    {"Carnival masks", "Brazil", 1983, "140 Cr", 1.60},
    {"Temple gate", "Japan", 1968, "15 Y", 1.20},
    {"Cable car", "Austria", 1975, "4 S", 0.80},
    {"Penguin colony", "Falkland Islands", 1980, "10 p", 4.00},
    {"Parrot in rainforest", "Brazil", 1991, "25 Cr", 1.90},
    {"Lighthouse on the cliffs", "Ireland", 1997, "32 p", 1.10},
    {"Harvest festival", "Poland", 1966, "40 gr", 0.40},
    {"Reindeer sledge", "Finland", 1976, "1,50 mk", 1.30},
    {"Ancient amphora", "Greece", 1959, "1 Dr", 2.10},
    {"Desert caravan", "Morocco", 1969, "25 c", 1.70},
    {"Tiger in tall grass", "India", 1973, "25 p", 3.20},
    {"Clipper ship", "United States", 1947, "5 c", 2.40},
    {"Iris bouquet", "Belgium", 1986, "13 F", 0.90},
    {"Volcano crater", "Iceland", 1973, "10 Kr", 3.60},
    {"Kiwi at night", "New Zealand", 1988, "40 c", 1.40},
    {"Old town square", "Czechoslovakia", 1965, "60 h", 0.70},
};

const char* const conditions[] = {"Mint Never Hinged", "Mint Hinged", "Used", "Fine Used", "Very Fine"};
const char* const papers[] = {"Wove", "Laid", "Chalk-surfaced", "Granite"};
const char* const gums[] = {"Original", "No gum", "Regummed", "Dull"};
const char* const perforations[] = {"12", "13 1/2", "14", "11 x 11 1/2", "Imperforate"};
const char* const cancellations[] = {"", "Circular date stamp", "Wavy lines", "Pen", "First day"};
const char* const types[] = {"Definitive", "Commemorative", "Airmail", "Charity"};

// A small picture of a stamp: a perforated frame around a coloured panel with the country's initial.
QByteArray stampPicture(const Stamp& stamp, int index, QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(QColor(0xf4, 0xec, 0xd2));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor panel = QColor::fromHsv((index * 47) % 360, 140, 170);
    const int margin = size.width() / 10;
    painter.fillRect(QRect(margin, margin, size.width() - 2 * margin, size.height() - 2 * margin), panel);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    const int holes = 9;
    for (int i = 0; i <= holes; ++i) {
        const qreal x = size.width() * i / qreal(holes);
        const qreal y = size.height() * i / qreal(holes);
        for (QPointF centre :
             {QPointF(x, 0), QPointF(x, size.height()), QPointF(0, y), QPointF(size.width(), y)})
            painter.drawEllipse(centre, margin / 3.0, margin / 3.0);
    }
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size.height() / 3);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::fromUtf8(stamp.country).left(1));
    font.setPixelSize(size.height() / 10);
    painter.setFont(font);
    painter.drawText(image.rect().adjusted(0, 0, 0, -margin * 3 / 2), Qt::AlignHCenter | Qt::AlignBottom,
                     QString::fromUtf8(stamp.faceValue));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

template <std::size_t N>
QString pick(const char* const (&choices)[N], QRandomGenerator& random)
{
    return QString::fromUtf8(choices[random.bounded(static_cast<quint32>(N))]);
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures are drawn without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessary-demo <program folder>\n");
        return 2;
    }
    store::Session session;
    session.folders.program = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    session.folders.dataRoot = session.folders.program;
    session.folders.publicDatabase = session.folders.dataRoot + QStringLiteral("/DATA");
    session.folders.settings = session.folders.publicDatabase;
    session.folders.database = session.folders.publicDatabase;
    QDir().mkpath(session.folders.publicDatabase + QStringLiteral("/BACKUP"));

    SilentPrompts prompts;
    store::DatabaseFolder database(session, prompts);
    if (!database.OpenDatabase())
        return 1;
    dbase::Table& table = database.browseTable();
    QRandomGenerator random(20261211);
    try {
        int index = 0;
        for (const Stamp& stamp : stamps) {
            const auto field = [](int number) { return number + 1; };
            table.append();
            store::setColumnText(table, 1, QStringLiteral("2"));
            store::setColumnText(table, field(1), QString::fromUtf8(stamp.description));
            store::setColumnText(table, field(2), QString::fromUtf8(stamp.country));
            store::setColumnText(table, field(4),
                                 QStringLiteral("%1-%2").arg(stamp.year).arg(100 + index * 7));
            store::setColumnText(table, field(5), pick(conditions, random));
            store::setColumnDate(table, field(6),
                                 QDate(stamp.year, 1 + random.bounded(12), 1 + random.bounded(28)));
            store::setColumnText(table, field(7), QString::fromUtf8(stamp.faceValue));
            table.setNumber(field(8), stamp.cost);
            table.setNumber(field(9), stamp.cost * (1.5 + random.bounded(300) / 100.0));
            store::setColumnText(table, field(15), pick(types, random));
            store::setColumnText(table, field(17), pick(papers, random));
            store::setColumnText(table, field(18), pick(gums, random));
            store::setColumnText(table, field(19), pick(cancellations, random));
            store::setColumnText(table, field(20), pick(perforations, random));
            store::setColumnMemoLines(
                table, field(21),
                {QStringLiteral("Bought at the %1 club auction.").arg(1990 + index % 30),
                 QStringLiteral("Stored in album %1, page %2.").arg(1 + index / 12).arg(1 + index % 12)});
            // Every third stamp has its pictures.
            if (index % 3 == 0) {
                store::setColumnBlob(table, field(10), stampPicture(stamp, index, QSize(96, 120)));
                store::setColumnBlob(table, field(28), stampPicture(stamp, index, QSize(320, 400)));
            }
            table.post();
            ++index;
        }
        table.saveChanges();
        // The catalog opens sorted by description (column 2, field 1), so the letter tabs show how it
        // divides.
        settings::SaveSortSettings(session.folders.database, session.tableFileName,
                                   settings::SortSettings{2, false, 0, false});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessary-demo: %s\n", error.what());
        return 1;
    }
    std::printf("seeded %zu demo stamps in %s\n", std::size(stamps),
                qPrintable(session.folders.publicDatabase));
    return 0;
}
