#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WCodingKeys.h"

#include <QString>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// The seven hex colour texts of the options menu, kept unchecked: turning them
// into colours is the configuration getters' business. Every key is required.
class WEXOCREATOR_EXPORT MobileColors
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { blockBackgroundColor, listItemBackgroundColor, listItemTextColor, optionsTextColor, poweredByTextColor, searchHereBackgroundColor, searchHereTextColor };
    static const WCodingKeys<CodingKeys, 7> codingKeys;

    void decode(const WJsonObjectReader &json);
    // Every field as text under its key, in coding-key order.
    void encode(WJsonObjectWriter &json) const;

    const QString &blockBackgroundColor() const { return m_blockBackgroundColor; }
    void setBlockBackgroundColor(const QString &value) { m_blockBackgroundColor = value; }
    const QString &listItemBackgroundColor() const { return m_listItemBackgroundColor; }
    void setListItemBackgroundColor(const QString &value) { m_listItemBackgroundColor = value; }
    const QString &listItemTextColor() const { return m_listItemTextColor; }
    void setListItemTextColor(const QString &value) { m_listItemTextColor = value; }
    const QString &optionsTextColor() const { return m_optionsTextColor; }
    void setOptionsTextColor(const QString &value) { m_optionsTextColor = value; }
    const QString &poweredByTextColor() const { return m_poweredByTextColor; }
    void setPoweredByTextColor(const QString &value) { m_poweredByTextColor = value; }
    const QString &searchHereBackgroundColor() const { return m_searchHereBackgroundColor; }
    void setSearchHereBackgroundColor(const QString &value) { m_searchHereBackgroundColor = value; }
    const QString &searchHereTextColor() const { return m_searchHereTextColor; }
    void setSearchHereTextColor(const QString &value) { m_searchHereTextColor = value; }

private:
    QString m_blockBackgroundColor = QStringLiteral("#f1f1f1");
    QString m_listItemBackgroundColor = QStringLiteral("#000000");
    QString m_listItemTextColor = QStringLiteral("#ffffff");
    QString m_optionsTextColor = QStringLiteral("#ffffff");
    QString m_poweredByTextColor = QStringLiteral("#ffffff");
    QString m_searchHereBackgroundColor = QStringLiteral("#f1f1f1");
    QString m_searchHereTextColor = QStringLiteral("#f1f1f1");
};

} // namespace WexoCreator
