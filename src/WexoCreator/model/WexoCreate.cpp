#include "WexoCreator/model/WexoCreate.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoCreate::decode(const WJsonObjectReader &json)
{
    message = json.optionalString("message"_L1);
    success = json.optionalBool("success"_L1);
    walkthroughStepId = json.optionalString("walkthroughStepId"_L1);
    walkthroughId = json.optionalString("walkthroughId"_L1);
    forPage = json.optionalString("forPage"_L1);
    analyticsId = json.optionalString("analyticsId"_L1);
    elements = json.optionalList<WexoElements>("elements"_L1);
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
