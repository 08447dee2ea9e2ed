#pragma once

#include <QString>

namespace platform {

// The skinning call. Our skin file is a Qt style sheet applied to the whole application.
class Skin
{
public:
    virtual ~Skin() = default;
    // Returns 0 when the skin was applied, non-zero otherwise (callers ignore it).
    virtual int SkinH_AttachEx(const QString &path, const QString &password) = 0;
};

class StyleSheetSkin final : public Skin
{
public:
    int SkinH_AttachEx(const QString &path, const QString &password) override;
};

} // namespace platform
