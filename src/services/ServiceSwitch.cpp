#include "ServiceSwitch.h"

#include "LoopbackService.h"
#include "ServicesReady.h"

#include <QFileInfo>

ServiceSwitch::ServiceSwitch(Origin origin, platform::LoopbackService &sample)
    : m_origin(std::move(origin))
    , m_sample(sample)
{
}

ServiceSettings ServiceSwitch::saved() const
{
    return ServiceSettings::load(m_origin.settingsFile);
}

bool ServiceSwitch::save(const ServiceSettings &settings) const
{
    return settings.save(m_origin.settingsFile);
}

AppSettings ServiceSwitch::named(const ServiceSettings &settings) const
{
    return m_origin.build.withUserServices(settings).withServices(m_origin.statsFromLine,
                                                                  m_origin.updateFromLine);
}

AppSettings ServiceSwitch::ready(const ServiceSettings &settings, QString *problem)
{
    return ServicesReady(named(settings), m_sample, m_origin.standin, problem);
}

AppSettings ServiceSwitch::preview(const ServiceSettings &settings) const
{
    return named(settings).withSampleService(m_sample.address());
}

QString ServiceSwitch::sampleList() const
{
    return QFileInfo(m_origin.standin).absolutePath() + QStringLiteral("/sample-domains.txt");
}
