#include "WexoCreator/model/WexoRoot.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WexoRoot::CodingKeys, 3> WexoRoot::codingKeys{{"Id"_L1, "wexoName"_L1, "className"_L1}};

void WexoRoot::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    Id = json.optionalString(codingKeys[K::Id]);
    wexoName = json.optionalRecord<WexoName>(codingKeys[K::wexoName]);
    wexos = json.optionalList<Wexo>(codingKeys[K::wexos]);
}

void WexoRoot::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::Id], Id);
    json.writeIfPresent(codingKeys[K::wexoName], wexoName);
    json.writeIfPresent(codingKeys[K::wexos], wexos);
}

} // namespace WexoCreator
