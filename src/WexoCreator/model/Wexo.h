#pragma once

#include "WexoCreator/WexoCreatorExport.h"
#include "WexoCreator/model/WCodingKeys.h"
#include "WexoCreator/model/WexoStep.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WJsonObjectReader;
class WJsonObjectWriter;

// One page of a walkthrough: the steps that play on one screen. A page is
// one shared object, so the run-time fields written through one holder are
// seen by the feed, the menu and the playback alike.
class WEXOCREATOR_EXPORT Wexo
{
public:
    // The coding keys in decoding order; each case's key text is codingKeys[case].
    enum class CodingKeys { IsActive, Page, StepId, PageOrderNo, appId, WalkthroughId, values };
    static const WCodingKeys<CodingKeys, 7> codingKeys;

    std::optional<bool> IsActive;
    std::optional<QString> Page; // class name of the screen's view controller
    std::optional<QString> StepId;
    qint64 PageOrderNo = 0;
    std::optional<QString> appId; // "Subdomain"
    std::optional<QString> WalkthroughId;
    std::optional<QList<std::shared_ptr<WexoStep>>> values;

    // Set at run time, never decoded.
    std::optional<QString> wexoName;
    std::optional<QString> analyticsId;
    qint64 totalWexoSteps = 0;

    void decode(const WJsonObjectReader &json);
    // The decoded fields in coding-key order; absent ones and run-time fields are left out.
    void encode(WJsonObjectWriter &json) const;
};

} // namespace WexoCreator
