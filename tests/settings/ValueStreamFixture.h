#pragma once

#include "settings/StreamError.h"
#include "settings/ValueReader.h"
#include "settings/ValueWriter.h"
#include "SettingsFolder.h"

#include <functional>

// Writes values into a real file and reads real files back.
class ValueStreamTest : public SettingsFolderTest
{
protected:
    QByteArray written(const std::function<void(settings::ValueWriter&)>& write) const
    {
        {
            settings::ValueWriter writer(pathOf("stream.dat"));
            write(writer);
            writer.Commit();
        }
        return bytesOf("stream.dat");
    }

    settings::ValueReader readerOn(const QByteArray& bytes) const
    {
        writeBytes("stream.dat", bytes);
        return settings::ValueReader(pathOf("stream.dat"));
    }
};

// action must fail with the stream error of that kind and message.
inline void ExpectStreamError(const std::function<void()>& action, settings::StreamError::Kind kind,
                              const QString& message)
{
    try {
        action();
        ADD_FAILURE() << "no stream error";
    } catch (const settings::StreamError& error) {
        EXPECT_EQ(error.kind(), kind);
        EXPECT_EQ(error.message(), message);
    }
}
