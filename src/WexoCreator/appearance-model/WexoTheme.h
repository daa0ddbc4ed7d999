#pragma once

#include <QString>

#include <optional>

namespace WexoCreator {

class WJsonObjectReader;

// A bare outcome answer: a message and a success flag.
class WexoTheme
{
public:
    void decode(const WJsonObjectReader &json);

    const std::optional<QString> &message() const { return m_message; }
    void setMessage(const std::optional<QString> &value) { m_message = value; }
    const std::optional<bool> &success() const { return m_success; }
    void setSuccess(const std::optional<bool> &value) { m_success = value; }

private:
    std::optional<QString> m_message;
    std::optional<bool> m_success;
};

} // namespace WexoCreator
