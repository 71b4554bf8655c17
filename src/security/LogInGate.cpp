#include "LogInGate.h"

namespace security {

bool LogInGateRequired(const settings::ProgramSettings& program)
{
    constexpr int multiUser = 1;
    constexpr int passwordRequired = 0;
    return program.usersCount == multiUser ||
           (program.passwordMode == passwordRequired && !program.supervisorPassword.isEmpty());
}

} // namespace security
