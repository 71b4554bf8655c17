#pragma once

#include <QtGlobal>

namespace settings::ValueTag {

// The tag bytes that introduce the typed values of the stream.
inline constexpr quint8 ListEnd = 0;
inline constexpr quint8 ListBegin = 1;
inline constexpr quint8 Int8 = 2;
inline constexpr quint8 Int16 = 3;
inline constexpr quint8 Int32 = 4;
inline constexpr quint8 ShortString = 6;
inline constexpr quint8 LongString = 12;

} // namespace settings::ValueTag
