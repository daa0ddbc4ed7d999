#include "WexoCreator/backend/WFontManager.h"

#include "WexoCreator/appearance-model/WFonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QRawFont>

#include <algorithm>
#include <cmath>

namespace WexoCreator {

namespace {

const QString kDefaultFontName = QStringLiteral("default");

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont templateFont(const QString &name, qreal size, const QFont &fallback)
{
    if (name == kDefaultFontName)
        return fallback;
    return WFontManager::fontWithName(name, size).value_or(fallback);
}

} // namespace

WFontManager &WFontManager::shared()
{
    static WFontManager instance;
    return instance;
}

void WFontManager::saveFont(const std::shared_ptr<WFonts> &font)
{
    if (font)
        shared().addRecord(font);
}

void WFontManager::saveFont(const std::shared_ptr<WFonts> &font, const QByteArray &data)
{
    if (!font)
        return;
    WFontManager &self = shared();
    const QString source = font->fontUrl().value_or(QString());
    if (!self.m_memoryRegistrations.contains(source)) {
        if (const auto registration = registerData(data))
            self.m_memoryRegistrations.insert(source, *registration);
    }
    self.addRecord(font);
}

void WFontManager::addRecord(const std::shared_ptr<WFonts> &font)
{
    // A theme refresh hands in new records for the same fonts: keep one each.
    for (auto &existing : m_fonts) {
        if (existing == font)
            return;
        if (existing->fontName() == font->fontName() && existing->fontUrl() == font->fontUrl()) {
            existing = font;
            return;
        }
    }
    m_fonts.append(font);
}

std::optional<QString> WFontManager::styleNameOf(const QByteArray &data)
{
    const QRawFont font(data, 12);
    if (!font.isValid())
        return std::nullopt;
    return font.styleName();
}

std::optional<WFontManager::Registration> WFontManager::registerData(const QByteArray &data, std::optional<QString> styleName)
{
    const int id = QFontDatabase::addApplicationFontFromData(data);
    if (id < 0)
        return std::nullopt;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        QFontDatabase::removeApplicationFont(id);
        return std::nullopt;
    }
    // The style name picks the face in the file; the family alone would give
    // the family's regular face.
    if (!styleName)
        styleName = styleNameOf(data);
    return Registration{id, families.constFirst(), styleName.value_or(QString())};
}

std::optional<WFontManager::Registration> WFontManager::registerFile(const QString &path, const QByteArray &data,
                                                                    const QString &styleName)
{
    const auto known = m_fileRegistrations.constFind(path);
    if (known != m_fileRegistrations.cend())
        return *known;
    const std::optional<Registration> registration = registerData(data, styleName);
    if (registration)
        m_fileRegistrations.insert(path, *registration);
    return registration;
}

void WFontManager::forgetFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        forgetFile(path);
    m_fonts.removeIf([&paths](const std::shared_ptr<WFonts> &font) {
        return font->localURL() && paths.contains(font->localURL()->toLocalFile());
    });
}

void WFontManager::forgetFile(const QString &path)
{
    const auto known = m_fileRegistrations.constFind(path);
    if (known == m_fileRegistrations.cend())
        return;
    QFontDatabase::removeApplicationFont(known->id);
    m_fileRegistrations.erase(known);
}

std::optional<WFontManager::Registration> WFontManager::registrationOf(const WFonts &font)
{
    if (font.localURL() && font.localURL()->isLocalFile()) {
        const auto registered = m_fileRegistrations.constFind(font.localURL()->toLocalFile());
        return registered != m_fileRegistrations.cend() ? std::optional(*registered) : std::nullopt;
    }
    const auto inMemory = m_memoryRegistrations.constFind(font.fontUrl().value_or(QString()));
    if (inMemory != m_memoryRegistrations.cend())
        return *inMemory;
    return std::nullopt;
}

std::optional<QFont> WFontManager::fontWithName(const QString &name, qreal size)
{
    WFontManager &self = shared();
    for (const auto &font : std::as_const(self.m_fonts)) {
        if (font->fontName() != name)
            continue;
        const auto registration = self.registrationOf(*font);
        if (!registration)
            return std::nullopt;
        // Sizes come from the backend: keep them to what a font can be drawn at
        // (and what an int holds) rather than trust any number.
        // The template's sizes are logical pixels.
        const int pixelSize = std::isfinite(size) ? qRound(std::clamp(size, qreal(1), qreal(1000))) : 12;
        QFont result = QFontDatabase::font(registration->family, registration->styleName, pixelSize);
        result.setPixelSize(pixelSize);
        return result;
    }
    return std::nullopt;
}

QFont WFontManager::templateTitleFont(const QString &name, qreal size)
{
    return templateFont(name, size, systemFont(16, QFont::Bold));
}

QFont WFontManager::templateTapHereFont(const QString &name, qreal size)
{
    return templateFont(name, size, systemFont(10, QFont::Light));
}

QFont WFontManager::templateContentFont(const QString &name, qreal size)
{
    return templateFont(name, size, systemFont(14, QFont::Medium));
}

} // namespace WexoCreator
