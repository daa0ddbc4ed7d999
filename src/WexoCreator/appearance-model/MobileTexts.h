#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <QString>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The twelve texts and links of the options menu, kept as the backend sends
// them; links become URLs only in the configuration getters. Every key is required.
class WEXOCREATOR_EXPORT MobileTexts
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { aboutText, aboutUsLink, logoLink, logoPath, optionsText, playWexosText, poweredByText, privacyPolicyLink, privacyPolicyText, searchBarTextMobile, supportLink, supportText };
    static const WCodingKeys<CodingKeys, 12> codingKeys;

    void decode(const WJsonObjectReader &json);
    // Every field as text under its key, in coding-key order.
    void encode(WJsonObjectWriter &json) const;

    const QString &aboutText() const { return m_aboutText; }
    void setAboutText(const QString &value) { m_aboutText = value; }
    const QString &aboutUsLink() const { return m_aboutUsLink; }
    void setAboutUsLink(const QString &value) { m_aboutUsLink = value; }
    const QString &logoLink() const { return m_logoLink; }
    void setLogoLink(const QString &value) { m_logoLink = value; }
    const QString &logoPath() const { return m_logoPath; }
    void setLogoPath(const QString &value) { m_logoPath = value; }
    const QString &optionsText() const { return m_optionsText; }
    void setOptionsText(const QString &value) { m_optionsText = value; }
    const QString &playWexosText() const { return m_playWexosText; }
    void setPlayWexosText(const QString &value) { m_playWexosText = value; }
    const QString &poweredByText() const { return m_poweredByText; }
    void setPoweredByText(const QString &value) { m_poweredByText = value; }
    const QString &privacyPolicyLink() const { return m_privacyPolicyLink; }
    void setPrivacyPolicyLink(const QString &value) { m_privacyPolicyLink = value; }
    const QString &privacyPolicyText() const { return m_privacyPolicyText; }
    void setPrivacyPolicyText(const QString &value) { m_privacyPolicyText = value; }
    const QString &searchBarTextMobile() const { return m_searchBarTextMobile; }
    void setSearchBarTextMobile(const QString &value) { m_searchBarTextMobile = value; }
    const QString &supportLink() const { return m_supportLink; }
    void setSupportLink(const QString &value) { m_supportLink = value; }
    const QString &supportText() const { return m_supportText; }
    void setSupportText(const QString &value) { m_supportText = value; }

private:
    QString m_aboutText = QStringLiteral("About Larkmoor");
    QString m_aboutUsLink = QStringLiteral("https://wexolin.example");
    QString m_logoLink = QStringLiteral("https://wexolin.example");
    QString m_logoPath = QStringLiteral("https://media.wexolin.example/images/logo_white.png");
    QString m_optionsText;
    QString m_playWexosText = QStringLiteral("In-App Guides");
    QString m_poweredByText = QStringLiteral("Powered By Wexolin");
    QString m_privacyPolicyLink = QStringLiteral("https://wexolin.example/");
    QString m_privacyPolicyText = QStringLiteral("Privacy Policy");
    QString m_searchBarTextMobile = QStringLiteral("Search here for help?");
    QString m_supportLink = QStringLiteral("support@wexolin.example");
    QString m_supportText = QStringLiteral("Support");
};

} // namespace WexoCreator
