#pragma once

#include <QLatin1StringView>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>

namespace WexoCreator {

// The key texts of a record's CodingKeys enumeration, one per case in case
// order. The record's decoder and encoder both take their keys from here, so
// each key text is written once.
template<class Keys, std::size_t N>
class WCodingKeys
{
public:
    constexpr explicit WCodingKeys(const std::array<QLatin1StringView, N> &texts)
        : m_texts(texts)
    {
    }

    static constexpr std::size_t size() { return N; }
    constexpr QLatin1StringView operator[](Keys key) const { return m_texts[std::size_t(key)]; }

    // The case whose text equals this one exactly, capitals included.
    std::optional<Keys> key(QStringView text) const
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (text == m_texts[i])
                return Keys(i);
        }
        return std::nullopt;
    }

private:
    std::array<QLatin1StringView, N> m_texts;
};

} // namespace WexoCreator
