#include "HelpPages.h"

#include <QDesktopServices>
#include <QUrl>

namespace help {

namespace {
QString& programFolder()
{
    static QString folder;
    return folder;
}
} // namespace

void setProgramFolder(const QString& folder)
{
    programFolder() = folder;
}

QString contextUrl(int context)
{
    QUrl url = QUrl::fromLocalFile(programFolder() + QStringLiteral("/help/index.html"));
    url.setFragment(QStringLiteral("context-%1").arg(context));
    return url.toString();
}

void showContext(int context)
{
    QDesktopServices::openUrl(QUrl(contextUrl(context)));
}

} // namespace help
