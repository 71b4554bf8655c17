#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Catches the help pages the code under test opens, instead of starting a browser.
class HelpRequests : public QObject
{
    Q_OBJECT

public:
    HelpRequests() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~HelpRequests() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    // The help contexts asked for, in order.
    QList<int> contexts() const
    {
        QList<int> found;
        for (const QUrl& url : m_urls)
            found.append(url.fragment().section(QLatin1Char('-'), 1).toInt());
        return found;
    }

public slots:
    void open(const QUrl& url) { m_urls.append(url); }

private:
    QList<QUrl> m_urls;
};
