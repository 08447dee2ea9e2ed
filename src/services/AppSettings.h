#pragma once

#include "HttpGetText.h"

#include <QString>

struct ServiceSettings;

// Where the outside services live and which version this program is. Fixed at build time;
// tests make their own.
struct AppSettings
{
    QString statsBase; // the statistics page of a domain is statsBase + domain; empty: not named
    QString updateUrl; // the version file; empty: not named
    QString forumUrl;
    QString serviceUrl;
    QString resourceUrl;
    FetchLimits fetchLimits; // of each statistics page
    FetchLimits updateLimits; // of the version file
    int versionMajor = 1;
    int versionMinor = 0;
    int versionRevision = 0;
    // The folder the program runs from; empty means the executable's own folder.
    QString programDir;
    // The counts come from the bundled sample service, not a real one.
    bool sampleData = false;
    // Where every fetched row is kept; empty: nowhere. Sample counts are never kept.
    QString historyFile;

    static AppSettings fromBuild();
    // These settings with the services named at run time (base addresses; empty: as they are).
    AppSettings withServices(const QString &statsBase, const QString &updateBase) const;
    // These settings with the services and the proxy the user set in the window.
    AppSettings withUserServices(const ServiceSettings &saved) const;
    // All services on one host (scheme and authority, no trailing slash).
    // Services not named point at the bundled sample service on `sampleHost` (empty: it could
    // not be started).
    AppSettings withSampleService(const QString &sampleHost) const;
    static AppSettings onHost(const QString &host);
};
