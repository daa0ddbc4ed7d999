#include "WexoCreator/model/WexoRoot.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WexoRoot::decode(const WJsonObjectReader &json)
{
    Id = json.optionalString("Id"_L1);
    wexoName = json.optionalRecord<WexoName>("wexoName"_L1);
    wexos = json.optionalList<Wexo>("className"_L1);
}

} // namespace WexoCreator
