#include "WexoCreator/model/WLogin.h"

#include "WexoCreator/model/WJsonObjectReader.h"
#include "WexoCreator/model/WJsonObjectWriter.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

const WCodingKeys<WLogin::CodingKeys, 4> WLogin::codingKeys{{"token"_L1, "userInfo"_L1, "message"_L1, "success"_L1}};

void WLogin::decode(const WJsonObjectReader &json)
{
    using K = CodingKeys;
    token = json.optionalString(codingKeys[K::token]);
    userInfo = json.optionalRecord<WUserInfo>(codingKeys[K::userInfo]);
    message = json.optionalString(codingKeys[K::message]);
    success = json.requiredBool(codingKeys[K::success]);
}

void WLogin::encode(WJsonObjectWriter &json) const
{
    using K = CodingKeys;
    json.writeIfPresent(codingKeys[K::token], token);
    json.writeIfPresent(codingKeys[K::userInfo], userInfo);
    json.writeIfPresent(codingKeys[K::message], message);
    json.write(codingKeys[K::success], success);
}

std::optional<QString> WLogin::adminToken() const
{
    if (!token || token->isEmpty())
        return std::nullopt;
    return token;
}

} // namespace WexoCreator
