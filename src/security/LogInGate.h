#pragma once

#include "settings/ProgramSettings.h"

namespace security {

// The log-in dialog runs at start-up only when the program-level settings were read and either the
// installation is multi-user, or a password is required and a supervisor password is stored.
bool LogInGateRequired(const settings::ProgramSettings& program);

} // namespace security
