#pragma once

#include "AppSettings.h"
#include "ServiceSettings.h"

namespace platform {
class LoopbackService;
}

// The services of this start as they come together: built in, set by the user in 服务设置…,
// named on the command line (which wins for this start), and the sample service that comes
// with the program for what none of them names.
class ServiceSwitch
{
public:
    struct Origin
    {
        AppSettings build; // with this start's program folder and history file
        QString statsFromLine; // base addresses the command line named, or empty
        QString updateFromLine;
        QString standin; // the sample service's program
        QString settingsFile; // the user's settings
    };

    ServiceSwitch(Origin origin, platform::LoopbackService &sample);

    const Origin &origin() const { return m_origin; }
    ServiceSettings saved() const;
    bool save(const ServiceSettings &settings) const;
    // The services `settings` make, ready: the sample service started, kept or ended as
    // needed. When it cannot start, `problem` says why (or stderr, without one).
    AppSettings ready(const ServiceSettings &settings, QString *problem = nullptr);
    // The same without starting or ending anything: what is left to the sample service is its
    // running address, or empty.
    AppSettings preview(const ServiceSettings &settings) const;
    // The sample list that ships beside the sample service.
    QString sampleList() const;

private:
    AppSettings named(const ServiceSettings &settings) const;

    Origin m_origin;
    platform::LoopbackService &m_sample;
};
