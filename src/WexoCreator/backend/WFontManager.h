#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace WexoCreator {

class WFonts;

// Keeps the theme's downloaded fonts and turns a font name from the template
// into a QFont. Each font file's bytes are registered with the application once
// and the registration is reused; Qt looks fonts up by family, so the family inside the
// file is used, whatever name the theme gives the font.
class WFontManager
{
public:
    static WFontManager &shared();

    // The font records handed in, one per name and source, earliest first.
    const QList<std::shared_ptr<WFonts>> &fonts() const { return m_fonts; }

    static void saveFont(const std::shared_ptr<WFonts> &font);
    // For a font whose file could not be kept on disk: registers the bytes.
    static void saveFont(const std::shared_ptr<WFonts> &font, const QByteArray &data);

    static std::optional<QFont> fontWithName(const QString &name, qreal size = 12.0);
    // Never fail: "default", an unknown name or an unusable file gives the fixed fallback.
    static QFont templateTitleFont(const QString &name, qreal size = 12.0);
    static QFont templateTapHereFont(const QString &name, qreal size = 10.0);
    static QFont templateContentFont(const QString &name, qreal size = 10.0);

    struct Registration {
        int id = -1;
        QString family;
        QString styleName;
    };

    // Registers the bytes of a font file, read on another thread and checked, and
    // reuses that registration for the file later. The manager itself never reads a
    // file: a record whose file was not registered this way gives no font.
    std::optional<Registration> registerFile(const QString &path, const QByteArray &data, const QString &styleName);
    // Drops the registration of a file that is about to be replaced.
    void forgetFile(const QString &path);
    // For files that were deleted: drops their registrations and the records that name them.
    void forgetFiles(const QStringList &paths);

    // The style name of the face in font bytes, absent when they are no font.
    // Main thread only: it asks fontconfig, which another thread must not use
    // while the main thread adds or removes an application font.
    static std::optional<QString> styleNameOf(const QByteArray &data);

private:
    WFontManager() = default;

    static std::optional<Registration> registerData(const QByteArray &data, std::optional<QString> styleName = {});
    void addRecord(const std::shared_ptr<WFonts> &font);
    std::optional<Registration> registrationOf(const WFonts &font);

    QList<std::shared_ptr<WFonts>> m_fonts;
    QHash<QString, Registration> m_fileRegistrations;   // by file path
    QHash<QString, Registration> m_memoryRegistrations; // by font URL
};

} // namespace WexoCreator
