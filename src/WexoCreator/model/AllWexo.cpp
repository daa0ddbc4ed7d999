#include "WexoCreator/model/AllWexo.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<AllWexo::CodingKeys, 3> AllWexo::codingKeys{{"walkthrough"_L1, "message"_L1, "success"_L1}};

void AllWexo::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    walkthrough = json.optionalList<WexoDetails>(codingKeys[K::walkthrough]);
    message = json.optionalString(codingKeys[K::message]);
    success = json.requiredBool(codingKeys[K::success]);
}

void AllWexo::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::walkthrough], walkthrough);
    json.writeIfPresent(codingKeys[K::message], message);
    json.write(codingKeys[K::success], success);
}

} // namespace WexoCreator
