#pragma once

#include <QString>

// Help contexts open the local HTML help pages in the user's browser: the page of context n is
// "help/index.html#context-n" in the program folder.
namespace help {

void setProgramFolder(const QString& folder);
// The address the context opens; also what a test can look at.
QString contextUrl(int context);
void showContext(int context);

} // namespace help
