#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QUrl>

#include <memory>

namespace WexoCreator {

class Theme;
class WFonts;

// Makes the fonts of a theme available to WFontManager. Font files are read and
// written on one worker thread (one, so that two theme answers never write the
// cache index at once); the bytes are checked and registered with the font
// database on the main thread, as fontconfig is not safe to use from two
// threads. A cached copy is reused without a request, other fonts are
// downloaded into the cache (http and https only, one file per address). When
// every font of the latest theme is in place, cached files that no font of that
// theme names are deleted.
class WFontDownload
{
public:
    static WFontDownload &shared();

    static void downloadFonts(const std::shared_ptr<Theme> &theme);

    // What the worker hands back: plain values only.
    struct FontFile {
        QUrl url;
        QString path;      // the cached copy; empty when none could be kept
        QByteArray data;   // empty when the bytes are no usable font
        QString styleName; // of the face in the file
        bool fresh = false; // just downloaded, replacing any older copy
    };

private:
    using Fonts = QList<std::shared_ptr<WFonts>>;

    WFontDownload() = default;

    void cachedFontsRead(const QList<FontFile> &files, const QHash<QUrl, Fonts> &fonts);
    void download(const QUrl &url, const Fonts &fonts);
    void fontFileReady(const FontFile &file, const Fonts &fonts);
    void done(const QUrl &url);
    void pruneCache();

    // Fonts waiting for a download already under way, by address.
    QHash<QUrl, Fonts> m_downloads;
    // The addresses of the latest theme, and those of them not in place yet.
    QList<QUrl> m_themeUrls;
    QSet<QUrl> m_pending;
};

} // namespace WexoCreator
