#include "WexoCreator/model/WLogin.h"

#include "WexoCreator/model/WJsonObjectReader.h"

namespace WexoCreator {

using namespace Qt::StringLiterals;

void WLogin::decode(const WJsonObjectReader &json)
{
    token = json.optionalString("token"_L1);
    userInfo = json.optionalRecord<WUserInfo>("userInfo"_L1);
    message = json.optionalString("message"_L1);
    success = json.requiredBool("success"_L1);
}

std::optional<QString> WLogin::adminToken() const
{
    if (!token || token->isEmpty())
        return std::nullopt;
    return token;
}

} // namespace WexoCreator
