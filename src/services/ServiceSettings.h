#pragma once

#include <QString>

struct FetchLimits;

// The services a user named in 服务设置…, kept per user. Empty addresses leave the built-in
// ones (the sample service when the build names none).
struct ServiceSettings
{
    enum class Proxy { FromEnvironment, None, Manual };

    QString statsBase; // e.g. "https://stats.example.com", without the page's path
    QString updateBase;
    Proxy proxy = Proxy::FromEnvironment;
    QString proxyHost;
    int proxyPort = 0;

    // Reads the file at `path`; what is missing or unreadable stays at its default.
    static ServiceSettings load(const QString &path);
    // Writes the file whole through a new file put in its place, so that a crash mid-write
    // leaves the old settings. False when it could not be written.
    bool save(const QString &path) const;
    // Why these settings cannot be used, in the user's words; empty when they can.
    QString problem() const;
    // `limits` going through the proxy chosen (a sample service stays direct).
    void applyProxyTo(FetchLimits &limits) const;

    bool operator==(const ServiceSettings &) const = default;
};

// Where the user's settings live: the config folder's (~/.config/Varnel/varnel-index-query.conf).
// Needs the application's names set.
QString UserSettingsFile();
