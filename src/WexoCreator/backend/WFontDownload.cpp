#include "WexoCreator/backend/WFontDownload.h"

#include "WexoCreator/appearance-model/Theme.h"
#include "WexoCreator/appearance-model/WFonts.h"
#include "WexoCreator/backend/WFileManager.h"
#include "WexoCreator/backend/WFontManager.h"
#include "WexoCreator/backend/WWebApiInterface.h"
#include "WexoCreator/platform/WLogging.h"
#include "WexoCreator/platform/WPerform.h"

#include <QCoreApplication>
#include <QFile>
#include <QThreadPool>

namespace WexoCreator {

namespace {

using FontFile = WFontDownload::FontFile;

std::optional<QUrl> fontAddress(const WFonts &font)
{
    if (!font.fontUrl())
        return std::nullopt;
    const QUrl url(*font.fontUrl(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        qCDebug(lcBackend) << "font address skipped:" << *font.fontUrl();
        return std::nullopt;
    }
    return url;
}

QThreadPool &fontFileThread()
{
    static QThreadPool pool;
    static const bool once = [] {
        pool.setMaxThreadCount(1);
        // No file work may outlive the application object it reports back to.
        qAddPostRoutine([] { pool.waitForDone(); });
        return true;
    }();
    Q_UNUSED(once);
    return pool;
}

// Runs `work` on the font file thread and hands its result to `done` on the main thread.
template<typename Work, typename Done>
void onFontFileThread(Work work, Done done)
{
    fontFileThread().start([work = std::move(work), done = std::move(done)] {
        WPerform::onMainThread([done, result = work()] { done(result); });
    });
}

// Keeps the bytes only when they are a font, with the style name that picks its face.
// Main thread only: a QRawFont asks fontconfig, which crashes when the main thread
// adds or removes an application font at the same time.
FontFile checked(FontFile file)
{
    if (const std::optional<QString> styleName = WFontManager::styleNameOf(file.data))
        file.styleName = *styleName;
    else
        file.data.clear();
    return file;
}

QList<FontFile> readCachedFonts(const QList<QUrl> &urls)
{
    QList<FontFile> files;
    for (const QUrl &url : urls) {
        FontFile file;
        file.url = url;
        if (const std::optional<QString> cached = WFileManager::cachedFilePath(url, WFileType::Font)) {
            QFile stored(*cached);
            if (stored.open(QIODevice::ReadOnly)) {
                file.path = *cached;
                file.data = stored.readAll();
            }
        }
        files.append(file);
    }
    return files;
}

} // namespace

WFontDownload &WFontDownload::shared()
{
    static WFontDownload instance;
    return instance;
}

void WFontDownload::downloadFonts(const std::shared_ptr<Theme> &theme)
{
    if (!theme || !theme->config() || !theme->config()->Configurations())
        return;
    QList<QUrl> urls;
    QHash<QUrl, Fonts> fonts;
    if (const auto &list = theme->config()->Configurations()->fonts()) {
        for (const std::shared_ptr<WFonts> &font : *list) {
            const std::optional<QUrl> url = font ? fontAddress(*font) : std::nullopt;
            if (!url)
                continue;
            if (!fonts.contains(*url))
                urls.append(*url);
            fonts[*url].append(font);
        }
    }
    WFontDownload &self = shared();
    self.m_themeUrls = urls;
    self.m_pending = QSet<QUrl>(urls.cbegin(), urls.cend());
    if (urls.isEmpty()) {
        self.pruneCache();
        return;
    }
    onFontFileThread([urls] { return readCachedFonts(urls); },
                     [fonts](const QList<FontFile> &files) { shared().cachedFontsRead(files, fonts); });
}

void WFontDownload::cachedFontsRead(const QList<FontFile> &files, const QHash<QUrl, Fonts> &fonts)
{
    for (FontFile file : files) {
        file = checked(file);
        if (file.data.isEmpty()) {
            // A cached copy that is no font goes, so that it is downloaded again.
            if (!file.path.isEmpty()) {
                qCDebug(lcBackend) << "not a usable font file:" << file.path;
                onFontFileThread([path = file.path] { WFileManager::removeStoredFile(path); return true; }, [](bool) {});
            }
            download(file.url, fonts.value(file.url));
            continue;
        }
        fontFileReady(file, fonts.value(file.url));
        done(file.url);
    }
}

void WFontDownload::download(const QUrl &url, const Fonts &fonts)
{
    // The theme arrives twice at start-up; one request per address is enough.
    auto pending = m_downloads.find(url);
    if (pending != m_downloads.end()) {
        pending->append(fonts);
        return;
    }
    m_downloads.insert(url, fonts);
    WWebApiInterface::downloadFile(url, [url](std::optional<QByteArray> data) {
        WFontDownload &self = shared();
        const Fonts waiting = self.m_downloads.take(url);
        if (!data) {
            self.done(url);
            return;
        }
        FontFile file;
        file.url = url;
        file.fresh = true;
        file.data = std::move(*data);
        file = checked(file);
        if (file.data.isEmpty()) {
            self.done(url);
            return;
        }
        // Only a font is written to the cache, on the worker.
        onFontFileThread(
            [file] {
                FontFile stored = file;
                stored.path = WFileManager::downloadedFilePath(file.url, WFileType::Font, file.data).value_or(QString());
                return stored;
            },
            [waiting](const FontFile &stored) {
                shared().fontFileReady(stored, waiting);
                shared().done(stored.url);
            });
    });
}

void WFontDownload::fontFileReady(const FontFile &file, const Fonts &fonts)
{
    if (file.path.isEmpty()) {
        // No cache to write to: the font still works for this run.
        for (const std::shared_ptr<WFonts> &font : fonts) {
            font->setLocalURL(std::nullopt);
            WFontManager::saveFont(font, file.data);
        }
        return;
    }
    WFontManager &manager = WFontManager::shared();
    if (file.fresh)
        manager.forgetFile(file.path);
    const bool usable = manager.registerFile(file.path, file.data, file.styleName).has_value();
    for (const std::shared_ptr<WFonts> &font : fonts) {
        font->setLocalURL(usable ? std::optional<QUrl>(QUrl::fromLocalFile(file.path)) : std::nullopt);
        WFontManager::saveFont(font);
    }
}

void WFontDownload::done(const QUrl &url)
{
    if (m_pending.remove(url) && m_pending.isEmpty())
        pruneCache();
}

void WFontDownload::pruneCache()
{
    onFontFileThread([kept = m_themeUrls] { return WFileManager::removeFilesExcept(WFileType::Font, kept); },
                     [](const QStringList &removed) { WFontManager::shared().forgetFiles(removed); });
}

} // namespace WexoCreator
