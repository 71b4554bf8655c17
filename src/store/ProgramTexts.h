#pragma once

#include <QString>

namespace store {

// Texts the whole program shows; set before the first window appears.
inline const QString windowTitlePrefix = QStringLiteral("Kestovan Stamp Tessary");
inline const QString versionText = QStringLiteral("Version 3.0 (32-bit)");
inline const QString applicationTitle = QStringLiteral("Stamp Tessary");
inline const QString helpFile = QStringLiteral("TESHELP.HLP");
inline const QString splashCaption = QStringLiteral("Welcome");

} // namespace store
