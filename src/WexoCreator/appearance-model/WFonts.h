#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// One downloadable font of the theme. The font download sets localURL once it
// has stored a copy; the font manager then loads the font from there.
class WEXOCREATOR_EXPORT WFonts
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { fontName, fontUrl, localURL };
    static const WCodingKeys<CodingKeys, 3> codingKeys;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones are left out.
    void encode(WJsonObjectWriter &json) const;

    const std::optional<QString> &fontName() const { return m_fontName; }
    void setFontName(const std::optional<QString> &value) { m_fontName = value; }
    const std::optional<QString> &fontUrl() const { return m_fontUrl; }
    void setFontUrl(const std::optional<QString> &value) { m_fontUrl = value; }
    const std::optional<QUrl> &localURL() const { return m_localURL; }
    void setLocalURL(const std::optional<QUrl> &value) { m_localURL = value; }

private:
    std::optional<QString> m_fontName;
    std::optional<QString> m_fontUrl;
    std::optional<QUrl> m_localURL;
};

} // namespace WexoCreator
