#pragma once

#include <memory>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace pictures {

class SaneLibrary;

// Scanners through SANE. The library is loaded when first asked for, so the program runs on a machine
// without it; isAvailable() then says no and the scan commands stay disabled.
class SaneScanner
{
public:
    struct Device
    {
        QString name; // what selectDevice() takes
        QString description;
    };
    struct Result
    {
        QImage image;  // null unless the scan succeeded
        QString error; // SANE's own words for what went wrong; empty on success and on cancel
        bool cancelled = false;
    };

    explicit SaneScanner(const QString& libraryName = QStringLiteral("sane"));
    ~SaneScanner();
    SaneScanner(const SaneScanner&) = delete;
    SaneScanner& operator=(const SaneScanner&) = delete;

    // The one every picture field uses unless it is given another.
    static SaneScanner& shared();

    // Loads and initialises the library the first time.
    bool isAvailable();
    QList<Device> devices();
    // Empty: the first device found.
    QString selectedDevice() const;
    void selectDevice(const QString& name);
    // Option values set on the device before each scan, in the order given, by SANE option name ("mode",
    // "resolution", ...). Without a "mode" of its own the scan first asks for "Color" when the device
    // offers it.
    void setOption(const QString& name, const QVariant& value);

    // Runs one scan on the selected device, letting the event loop run between blocks of data.
    Result acquire();

private:
    std::unique_ptr<SaneLibrary> m_library;
    QString m_libraryName;
    bool m_tried = false;
    QString m_selected;
    QList<QPair<QString, QVariant>> m_options;
};

} // namespace pictures
