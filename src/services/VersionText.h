#pragma once

#include <QString>

// "V" major "." minor "." revision, e.g. V1.0.0.
QString VersionText(int major, int minor, int revision);
