#pragma once

#include <QtGlobal>

// Every test of this program sees SANE with only its "test" backend: the variable is set before main(), so
// before any scanner interface is initialised, and the scanimage runs of the tests inherit it.
namespace picturetests {

inline const bool saneConfigured = qputenv("SANE_CONFIG_DIR", TESSARY_SANE_CONFIG_DIR);

} // namespace picturetests
