#include "Program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The tray form owns the run, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
    return ProgramMain(QCoreApplication::applicationDirPath());
}
