#include "WexoCreator/model/WexoCreate.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WexoCreate::CodingKeys, 7> WexoCreate::codingKeys{{"message"_L1, "success"_L1, "walkthroughStepId"_L1, "walkthroughId"_L1, "forPage"_L1, "analyticsId"_L1, "elements"_L1}};

void WexoCreate::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    message = json.optionalString(codingKeys[K::message]);
    success = json.optionalBool(codingKeys[K::success]);
    walkthroughStepId = json.optionalString(codingKeys[K::walkthroughStepId]);
    walkthroughId = json.optionalString(codingKeys[K::walkthroughId]);
    forPage = json.optionalString(codingKeys[K::forPage]);
    analyticsId = json.optionalString(codingKeys[K::analyticsId]);
    elements = json.optionalList<WexoElements>(codingKeys[K::elements]);
}

void WexoCreate::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::message], message);
    json.writeIfPresent(codingKeys[K::success], success);
    json.writeIfPresent(codingKeys[K::walkthroughStepId], walkthroughStepId);
    json.writeIfPresent(codingKeys[K::walkthroughId], walkthroughId);
    json.writeIfPresent(codingKeys[K::forPage], forPage);
    json.writeIfPresent(codingKeys[K::analyticsId], analyticsId);
    json.writeIfPresent(codingKeys[K::elements], elements);
}

QString WexoCreate::wexoIdentifier() const
{
    return walkthroughId.value_or(QString());
}

QString WexoCreate::wexoStepIdentifier() const
{
    return walkthroughStepId.value_or(QString());
}

QString WexoCreate::wexoElementIdentifier() const
{
    if (!elements || elements->isEmpty())
        return {};
    return elements->first()->ElementId.value_or(QString());
}

bool WexoCreate::isCreated() const
{
    return !wexoIdentifier().isEmpty() && !wexoStepIdentifier().isEmpty();
}

} // namespace WexoCreator
