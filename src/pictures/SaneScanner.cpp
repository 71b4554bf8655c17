#include "SaneScanner.h"

#include "ScanImageBuilder.h"

#include <algorithm>
#include <QCoreApplication>
#include <QLibrary>
#include <QThread>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <vector>

namespace pictures {

// The entry points of the loaded library.
class SaneLibrary
{
public:
    QLibrary library;
    decltype(&::sane_init) init = nullptr;
    decltype(&::sane_exit) exit = nullptr;
    decltype(&::sane_get_devices) getDevices = nullptr;
    decltype(&::sane_open) open = nullptr;
    decltype(&::sane_close) close = nullptr;
    decltype(&::sane_get_option_descriptor) optionDescriptor = nullptr;
    decltype(&::sane_control_option) controlOption = nullptr;
    decltype(&::sane_get_parameters) getParameters = nullptr;
    decltype(&::sane_start) start = nullptr;
    decltype(&::sane_read) read = nullptr;
    decltype(&::sane_cancel) cancel = nullptr;
    decltype(&::sane_strstatus) statusText = nullptr;

    template <typename Function>
    bool resolve(Function& function, const char* name)
    {
        function = reinterpret_cast<Function>(library.resolve(name));
        return function != nullptr;
    }

    bool load(const QString& name)
    {
        library.setFileNameAndVersion(name, 1);
        if (!library.load()) {
            library.setFileName(name);
            if (!library.load())
                return false;
        }
        return resolve(init, "sane_init") && resolve(exit, "sane_exit") &&
               resolve(getDevices, "sane_get_devices") && resolve(open, "sane_open") &&
               resolve(close, "sane_close") && resolve(optionDescriptor, "sane_get_option_descriptor") &&
               resolve(controlOption, "sane_control_option") &&
               resolve(getParameters, "sane_get_parameters") && resolve(start, "sane_start") &&
               resolve(read, "sane_read") && resolve(cancel, "sane_cancel") &&
               resolve(statusText, "sane_strstatus");
    }

    QString describe(SANE_Status status) const { return QString::fromLocal8Bit(statusText(status)); }
};

namespace {

constexpr int readBlockSize = 64 * 1024;

int& initialisedScanners()
{
    static int count = 0;
    return count;
}
constexpr unsigned long settleMilliseconds = 50;

ScanImageBuilder::Kind kindOf(SANE_Frame frame)
{
    switch (frame) {
    case SANE_FRAME_RGB:
        return ScanImageBuilder::Kind::Rgb;
    case SANE_FRAME_RED:
        return ScanImageBuilder::Kind::Red;
    case SANE_FRAME_GREEN:
        return ScanImageBuilder::Kind::Green;
    case SANE_FRAME_BLUE:
        return ScanImageBuilder::Kind::Blue;
    default:
        return ScanImageBuilder::Kind::Gray;
    }
}

bool offersString(const SANE_Option_Descriptor* option, const char* value)
{
    if (option->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return false;
    for (const SANE_String_Const* entry = option->constraint.string_list; *entry; ++entry)
        if (qstrcmp(*entry, value) == 0)
            return true;
    return false;
}

// An open device, closed again when this goes.
class OpenDevice
{
public:
    OpenDevice(const SaneLibrary& sane, SANE_Handle handle) : m_sane(sane), m_handle(handle) {}
    ~OpenDevice()
    {
        // Backends that read in a thread of their own cancel it asynchronously; caught while it frees its
        // buffers on the way out, it leaves a heap lock taken and a later thread hangs. A moment's grace
        // lets it finish first.
        if (m_started)
            QThread::msleep(settleMilliseconds);
        m_sane.cancel(m_handle);
        m_sane.close(m_handle);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    void setOption(const QString& name, const QVariant& value)
    {
        SANE_Int count = 0;
        if (m_sane.controlOption(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
            return;
        const QByteArray wanted = name.toLatin1();
        for (SANE_Int index = 1; index < count; ++index) {
            const SANE_Option_Descriptor* option = m_sane.optionDescriptor(m_handle, index);
            if (!option || !option->name || wanted != option->name)
                continue;
            if (SANE_OPTION_IS_ACTIVE(option->cap) && SANE_OPTION_IS_SETTABLE(option->cap))
                write(index, option, value);
            return;
        }
    }

    bool offers(const char* name, const char* value) const
    {
        SANE_Int count = 0;
        if (m_sane.controlOption(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
            return false;
        for (SANE_Int index = 1; index < count; ++index) {
            const SANE_Option_Descriptor* option = m_sane.optionDescriptor(m_handle, index);
            if (option && option->name && qstrcmp(option->name, name) == 0)
                return SANE_OPTION_IS_ACTIVE(option->cap) && offersString(option, value);
        }
        return false;
    }

    SANE_Status start()
    {
        m_started = true;
        return m_sane.start(m_handle);
    }

private:
    void write(SANE_Int index, const SANE_Option_Descriptor* option, const QVariant& value)
    {
        switch (option->type) {
        case SANE_TYPE_BOOL: {
            SANE_Bool flag = value.toBool() ? SANE_TRUE : SANE_FALSE;
            m_sane.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, &flag, nullptr);
            break;
        }
        case SANE_TYPE_INT: {
            SANE_Int number = value.toInt();
            m_sane.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, &number, nullptr);
            break;
        }
        case SANE_TYPE_FIXED: {
            SANE_Fixed number = SANE_FIX(value.toDouble());
            m_sane.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, &number, nullptr);
            break;
        }
        case SANE_TYPE_STRING: {
            std::vector<char> text(static_cast<std::size_t>(std::max(option->size, 1)), '\0');
            const QByteArray bytes =
                value.toString().toLocal8Bit().left(static_cast<qsizetype>(text.size()) - 1);
            std::copy(bytes.begin(), bytes.end(), text.begin());
            m_sane.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, text.data(), nullptr);
            break;
        }
        default:
            break;
        }
    }

    const SaneLibrary& m_sane;
    SANE_Handle m_handle;
    bool m_started = false;
};

} // namespace

SaneScanner::SaneScanner(const QString& libraryName) : m_libraryName(libraryName) {}

SaneScanner::~SaneScanner()
{
    if (m_library && --initialisedScanners() == 0)
        m_library->exit();
}

SaneScanner& SaneScanner::shared()
{
    static SaneScanner scanner;
    return scanner;
}

bool SaneScanner::isAvailable()
{
    if (!m_tried) {
        m_tried = true;
        auto library = std::make_unique<SaneLibrary>();
        SANE_Int version = 0;
        // The library's state is one for the whole process: the first scanner object initialises it and
        // the last one to go ends it.
        if (library->load(m_libraryName) &&
            (initialisedScanners() > 0 || library->init(&version, nullptr) == SANE_STATUS_GOOD)) {
            m_library = std::move(library);
            ++initialisedScanners();
        }
    }
    return m_library != nullptr;
}

QList<SaneScanner::Device> SaneScanner::devices()
{
    QList<Device> found;
    const SANE_Device** list = nullptr;
    if (!isAvailable() || m_library->getDevices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return found;
    for (; *list; ++list) {
        const SANE_Device& device = **list;
        const QString description =
            QStringLiteral("%1 %2 (%3)")
                .arg(QString::fromLocal8Bit(device.vendor), QString::fromLocal8Bit(device.model),
                     QString::fromLocal8Bit(device.name));
        found.append({QString::fromLocal8Bit(device.name), description});
    }
    return found;
}

QString SaneScanner::selectedDevice() const
{
    return m_selected;
}

void SaneScanner::selectDevice(const QString& name)
{
    m_selected = name;
}

void SaneScanner::setOption(const QString& name, const QVariant& value)
{
    for (auto& option : m_options)
        if (option.first == name) {
            option.second = value;
            return;
        }
    m_options.append({name, value});
}

SaneScanner::Result SaneScanner::acquire()
{
    Result result;
    if (!isAvailable()) {
        result.error = QStringLiteral("No scanner interface is available.");
        return result;
    }
    QString name = m_selected;
    if (name.isEmpty()) {
        const QList<Device> found = devices();
        if (found.isEmpty()) {
            result.error = QStringLiteral("No scanner was found.");
            return result;
        }
        name = found.first().name;
    }
    SANE_Handle handle = nullptr;
    const SANE_Status opened = m_library->open(name.toLocal8Bit().constData(), &handle);
    if (opened != SANE_STATUS_GOOD) {
        result.error = m_library->describe(opened);
        return result;
    }
    OpenDevice device(*m_library, handle);
    const bool modeGiven = std::any_of(m_options.cbegin(), m_options.cend(), [](const auto& option) {
        return option.first == QLatin1String(SANE_NAME_SCAN_MODE);
    });
    if (!modeGiven && device.offers(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR))
        device.setOption(QStringLiteral(SANE_NAME_SCAN_MODE), QStringLiteral(SANE_VALUE_SCAN_MODE_COLOR));
    for (const auto& [optionName, optionValue] : m_options)
        device.setOption(optionName, optionValue);

    ScanImageBuilder builder;
    std::vector<SANE_Byte> block(readBlockSize);
    for (;;) {
        SANE_Status status = device.start();
        SANE_Parameters parameters{};
        if (status == SANE_STATUS_GOOD)
            status = m_library->getParameters(handle, &parameters);
        if (status == SANE_STATUS_GOOD &&
            !builder.beginFrame({kindOf(parameters.format), parameters.bytes_per_line,
                                 parameters.pixels_per_line, parameters.lines, parameters.depth}))
            status = SANE_STATUS_UNSUPPORTED;
        while (status == SANE_STATUS_GOOD) {
            SANE_Int length = 0;
            status = m_library->read(handle, block.data(), readBlockSize, &length);
            if (status == SANE_STATUS_GOOD)
                builder.append(reinterpret_cast<const char*>(block.data()), length);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        if (status == SANE_STATUS_CANCELLED) {
            result.cancelled = true;
            return result;
        }
        if (status != SANE_STATUS_EOF) {
            result.error = m_library->describe(status);
            return result;
        }
        if (parameters.last_frame)
            break;
    }
    result.image = builder.image();
    if (result.image.isNull())
        result.error = m_library->describe(SANE_STATUS_INVAL);
    return result;
}

} // namespace pictures
