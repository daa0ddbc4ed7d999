#include "SampleBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QUuid>
#include <QtDebug>

#include <httplib.h>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace WexoSample {

namespace {

const QString kApiPrefix = QStringLiteral("/mobileApi");
const QString kRootPlaceholder = QStringLiteral("{{root}}");
// Fonts missing from the data folder come from the system's copy of the same family.
const QString kSystemFontDir = QStringLiteral("/usr/share/fonts/truetype/dejavu");

QString fromStd(const std::string &text)
{
    return QString::fromStdString(text);
}

// The port a socket is bound to locally (own) or connected to (peer); -1 when it has none.
int socketPort(int fd, bool peer)
{
    sockaddr_storage address {};
    socklen_t length = sizeof(address);
    const int result = peer ? ::getpeername(fd, reinterpret_cast<sockaddr *>(&address), &length)
                            : ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    if (result != 0)
        return -1;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in *>(&address)->sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6 *>(&address)->sin6_port);
    return -1;
}

// httplib hands handlers no socket, so connections are found by their ports.
// peerPort -1 matches every accepted connection of the server.
void shutdownConnections(int serverPort, int peerPort)
{
    const QStringList fds = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
    for (const QString &entry : fds) {
        bool ok = false;
        const int fd = entry.toInt(&ok);
        if (!ok || socketPort(fd, false) != serverPort)
            continue;
        const int peer = socketPort(fd, true);
        if (peer < 0 || (peerPort >= 0 && peer != peerPort))
            continue;
        ::shutdown(fd, SHUT_RDWR);
    }
}

struct JsonBody {
    QJsonObject object;
    QString error; // empty when the body is a JSON object
};

JsonBody parseBody(const std::string &body)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError)
        return {{}, QStringLiteral("Malformed JSON body: %1").arg(error.errorString())};
    if (!document.isObject())
        return {{}, QStringLiteral("The body must be a JSON object")};
    return {document.object(), {}};
}

// An answer a route computed, written to the response after the lock is released.
struct Answer {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
};

Answer jsonAnswer(const QJsonObject &object, int status = 200)
{
    return {status, QJsonDocument(object).toJson(QJsonDocument::Compact), "application/json"};
}

Answer errorAnswer(int status, const QString &message)
{
    return jsonAnswer({{QStringLiteral("success"), false}, {QStringLiteral("message"), message}}, status);
}

std::optional<QJsonObject> readJsonObject(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = QStringLiteral("%1 is not a JSON object: %2").arg(path, parseError.errorString());
        return std::nullopt;
    }
    return document.object();
}

qint64 countSteps(const QJsonObject &walkthrough)
{
    qint64 total = 0;
    for (const QJsonValue &page : walkthrough.value(QStringLiteral("className")).toArray())
        total += page.toObject().value(QStringLiteral("values")).toArray().size();
    return total;
}

// OpenSSL's reason for the last failure, or a fallback when it recorded none.
QString openSslReason(const char *fallback)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QString::fromLatin1(fallback);
    const char *reason = ERR_reason_error_string(code);
    return reason ? QString::fromLatin1(reason) : QString::fromLatin1(fallback);
}

// Reads one PEM object from a file; the error names the file and what is wrong with it.
template<typename T, typename Read>
std::unique_ptr<T, void (*)(T *)> readPem(const QString &path, const char *what, Read read, void (*release)(T *),
                                          QString *error)
{
    std::unique_ptr<T, void (*)(T *)> none(nullptr, release);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the TLS %1 file %2 cannot be read: %3").arg(QLatin1String(what), path, file.errorString());
        return none;
    }
    const QByteArray pem = file.readAll();
    std::unique_ptr<BIO, int (*)(BIO *)> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())), BIO_free);
    T *object = bio ? read(bio.get()) : nullptr;
    if (!object) {
        *error = QStringLiteral("the TLS %1 file %2 holds no usable PEM %1 (%3)")
                     .arg(QLatin1String(what), path, openSslReason("no PEM data"));
        return none;
    }
    return std::unique_ptr<T, void (*)(T *)>(object, release);
}

// Checks the certificate and key files before the server is built from them, so
// that a failure names the file instead of leaving an unusable server.
QString checkTlsFiles(const QString &certificateFile, const QString &keyFile)
{
    QString error;
    const auto certificate = readPem<X509>(
        certificateFile, "certificate", [](BIO *bio) { return PEM_read_bio_X509(bio, nullptr, nullptr, nullptr); },
        X509_free, &error);
    if (!certificate)
        return error;
    const auto key = readPem<EVP_PKEY>(
        keyFile, "key", [](BIO *bio) { return PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr); },
        EVP_PKEY_free, &error);
    if (!key)
        return error;
    if (X509_check_private_key(certificate.get(), key.get()) != 1) {
        ERR_clear_error();
        return QStringLiteral("the TLS key file %1 does not belong to the certificate file %2").arg(keyFile, certificateFile);
    }
    return {};
}

// httplib's default sets SO_REUSEPORT, which lets a second server bind the same
// port and take half of its connections; reusing a port in TIME_WAIT is enough.
void exclusiveSocketOptions(int socket)
{
    const int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

} // namespace

struct SampleBackend::Private {
    Options options;

    // Loaded from the data folder; immutable after construction.
    QString loadError;
    QString startError;
    QJsonObject account;
    QList<QJsonObject> dataWalkthroughs;
    QJsonObject theme;
    QJsonObject templ;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;

    // Guarded by mutex.
    QList<QJsonObject> walkthroughs; // data walkthroughs plus what recording added
    QJsonArray createdSteps;
    QJsonArray analyticsEvents;
    QSet<QString> adminTokens;
    QList<RecordedRequest> log;
    QMap<QPair<QString, QString>, ScriptedAnswer> scripts;
    int latencyMs = 0;

    std::unique_ptr<httplib::Server> server;
    std::thread listener;
    int port = -1;
    QString host;

    QString clientToken() const
    {
        return options.clientToken.isEmpty() ? account.value(QStringLiteral("clientToken")).toString()
                                             : options.clientToken;
    }
    QString appId() const { return account.value(QStringLiteral("appId")).toString(); }
    QString rootUrl() const
    {
        if (port < 0)
            return {};
        const bool tls = !options.tlsCertFile.isEmpty() && !options.tlsKeyFile.isEmpty();
        return QStringLiteral("%1://%2:%3/").arg(tls ? QStringLiteral("https") : QStringLiteral("http"), host)
            .arg(port);
    }

    void loadData();
    void loadStore();
    void saveStore() const; // mutex held
    QString applyCreatedStep(const QJsonObject &entry); // mutex held; error text or empty

    void handle(const httplib::Request &request, httplib::Response &response);
    bool waitUnlessStopping(std::unique_lock<std::mutex> &lock, int ms);
    Answer route(const QString &method, const QString &path, const httplib::Request &request);

    Answer signIn(const QJsonObject &body);
    Answer findBySite(const QJsonObject &body);
    Answer stepsWithPage(const httplib::Request &request);
    Answer configurations(const QJsonObject &body);
    Answer mobileTemplate(const httplib::Request &request);
    Answer createElement(const QJsonObject &body);
    Answer analytics(const QString &kind, const QJsonObject &body);
    Answer font(const QString &name) const;
    Answer webPage(const QString &name) const;

    std::optional<Answer> checkClient(const QJsonObject &body) const;
    QByteArray withRoot(const QJsonObject &object) const;
    std::optional<qsizetype> walkthroughIndex(const QString &id) const;
};

void SampleBackend::Private::loadData()
{
    const QDir dir(options.dataDir);
    QString error;
    if (options.dataDir.isEmpty() || !dir.exists()) {
        loadError = QStringLiteral("data folder %1 does not exist").arg(options.dataDir);
        return;
    }
    const auto accountObject = readJsonObject(dir.filePath(QStringLiteral("account.json")), &error);
    const auto themeObject = readJsonObject(dir.filePath(QStringLiteral("theme.json")), &error);
    const auto templateObject = readJsonObject(dir.filePath(QStringLiteral("template.json")), &error);
    if (!accountObject || !themeObject || !templateObject) {
        loadError = error;
        return;
    }
    account = *accountObject;
    theme = *themeObject;
    templ = *templateObject;

    const QDir walkthroughDir(dir.filePath(QStringLiteral("walkthroughs")));
    const QStringList files = walkthroughDir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        const auto walkthrough = readJsonObject(walkthroughDir.filePath(name), &error);
        if (!walkthrough || walkthrough->value(QStringLiteral("Id")).toString().isEmpty()) {
            loadError = walkthrough ? QStringLiteral("%1 has no \"Id\"").arg(name) : error;
            return;
        }
        dataWalkthroughs.append(*walkthrough);
    }
    walkthroughs = dataWalkthroughs;
}

void SampleBackend::Private::loadStore()
{
    if (options.storeFile.isEmpty() || !QFileInfo::exists(options.storeFile))
        return;
    QString error;
    const auto stored = readJsonObject(options.storeFile, &error);
    if (!stored) {
        // A damaged store must not take the sample data down with it.
        qWarning("sample backend: ignoring the store: %s", qPrintable(error));
        return;
    }
    for (const QJsonValue &entry : stored->value(QStringLiteral("createdSteps")).toArray()) {
        const QString replayError = applyCreatedStep(entry.toObject());
        if (!replayError.isEmpty()) {
            qWarning("sample backend: dropping a stored step: %s", qPrintable(replayError));
            continue;
        }
        createdSteps.append(entry);
    }
    analyticsEvents = stored->value(QStringLiteral("analyticsEvents")).toArray();
}

void SampleBackend::Private::saveStore() const
{
    if (options.storeFile.isEmpty())
        return;
    const QJsonObject stored {{QStringLiteral("createdSteps"), createdSteps},
                              {QStringLiteral("analyticsEvents"), analyticsEvents}};
    QSaveFile file(options.storeFile);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("sample backend: cannot write the store %s", qPrintable(options.storeFile));
        return;
    }
    file.write(QJsonDocument(stored).toJson(QJsonDocument::Indented));
    if (!file.commit())
        qWarning("sample backend: cannot write the store %s", qPrintable(options.storeFile));
}

std::optional<qsizetype> SampleBackend::Private::walkthroughIndex(const QString &id) const
{
    for (qsizetype i = 0; i < walkthroughs.size(); ++i) {
        if (walkthroughs.at(i).value(QStringLiteral("Id")).toString() == id)
            return i;
    }
    return std::nullopt;
}

// A created-step entry carries the request and the identifiers handed out for it,
// so that replaying the store rebuilds the same walkthroughs.
QString SampleBackend::Private::applyCreatedStep(const QJsonObject &entry)
{
    const QJsonObject request = entry.value(QStringLiteral("request")).toObject();
    const QString walkthroughId = entry.value(QStringLiteral("walkthroughId")).toString();
    const QString stepId = entry.value(QStringLiteral("walkthroughStepId")).toString();
    const QString elementId = entry.value(QStringLiteral("elementId")).toString();
    const QString page = request.value(QStringLiteral("className")).toString();
    if (walkthroughId.isEmpty() || stepId.isEmpty() || page.isEmpty())
        return QStringLiteral("incomplete created step");

    auto index = walkthroughIndex(walkthroughId);
    if (!index) {
        if (!entry.value(QStringLiteral("newWalkthrough")).toBool())
            return QStringLiteral("unknown walkthrough %1").arg(walkthroughId);
        QString name = request.value(QStringLiteral("name")).toString();
        if (name.isEmpty())
            name = QStringLiteral("Recorded walkthrough");
        walkthroughs.append(QJsonObject {
            {QStringLiteral("Id"), walkthroughId},
            {QStringLiteral("wexoName"),
             QJsonObject {{QStringLiteral("Id"), walkthroughId},
                          {QStringLiteral("Name"), name},
                          {QStringLiteral("domain"), request.value(QStringLiteral("site")).toString()}}},
            {QStringLiteral("className"), QJsonArray {}}});
        index = walkthroughs.size() - 1;
    }

    QJsonObject walkthrough = walkthroughs.at(*index);
    QJsonArray pages = walkthrough.value(QStringLiteral("className")).toArray();
    const qint64 orderNumber = countSteps(walkthrough);
    // Only the last page grows, so that every page keeps a run of consecutive order numbers.
    qsizetype pageIndex = pages.size() - 1;
    if (pageIndex < 0 || pages.at(pageIndex).toObject().value(QStringLiteral("Page")).toString() != page) {
        pages.append(QJsonObject {{QStringLiteral("IsActive"), true},
                                  {QStringLiteral("Page"), page},
                                  {QStringLiteral("StepId"), stepId},
                                  {QStringLiteral("PageOrderNo"), pages.size()},
                                  {QStringLiteral("Subdomain"), request.value(QStringLiteral("site")).toString()},
                                  {QStringLiteral("WalkthroughId"), walkthroughId},
                                  {QStringLiteral("values"), QJsonArray {}}});
        pageIndex = pages.size() - 1;
    }
    QString displayType = request.value(QStringLiteral("displayType")).toString();
    if (displayType.isEmpty())
        displayType = QStringLiteral("popup");
    QJsonObject pageObject = pages.at(pageIndex).toObject();
    QJsonArray steps = pageObject.value(QStringLiteral("values")).toArray();
    steps.append(QJsonObject {{QStringLiteral("StepId"), stepId},
                              {QStringLiteral("Frame"), request.value(QStringLiteral("value")).toString()},
                              {QStringLiteral("ElementId"), elementId},
                              {QStringLiteral("ElementType"), request.value(QStringLiteral("elementName")).toString()},
                              {QStringLiteral("PlaybookNotes"), displayType},
                              {QStringLiteral("Title"), QStringLiteral("Step %1").arg(orderNumber + 1)},
                              {QStringLiteral("ElementText"), QString()},
                              {QStringLiteral("HasBackDrop"), true},
                              {QStringLiteral("OrderNumber"), orderNumber},
                              {QStringLiteral("WalkthroughId"), walkthroughId}});
    pageObject.insert(QStringLiteral("values"), steps);
    pages.replace(pageIndex, pageObject);
    walkthrough.insert(QStringLiteral("className"), pages);
    walkthroughs.replace(*index, walkthrough);
    return {};
}

QByteArray SampleBackend::Private::withRoot(const QJsonObject &object) const
{
    QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return text.replace(kRootPlaceholder.toUtf8(), rootUrl().toUtf8());
}

bool SampleBackend::Private::waitUnlessStopping(std::unique_lock<std::mutex> &lock, int ms)
{
    if (ms <= 0)
        return !stopping;
    return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
}

void SampleBackend::Private::handle(const httplib::Request &request, httplib::Response &response)
{
    const QString method = fromStd(request.method);
    const QString path = fromStd(request.path);
    const std::string &target = request.target;
    const auto queryStart = target.find('?');

    RecordedRequest recorded;
    recorded.method = method;
    recorded.path = path;
    recorded.rawQuery = queryStart == std::string::npos ? QString() : fromStd(target.substr(queryStart + 1));
    for (const auto &[name, value] : request.headers)
        recorded.headers.insert(fromStd(name).toLower(), fromStd(value));
    recorded.body = QByteArray::fromStdString(request.body);

    const auto dropConnection = [&] {
        if (request.ssl)
            ::shutdown(SSL_get_fd(request.ssl), SHUT_RDWR);
        else
            shutdownConnections(port, request.remote_port);
        response.status = 500;
    };

    std::unique_lock lock(mutex);
    log.append(recorded);
    if (!waitUnlessStopping(lock, latencyMs))
        return dropConnection();

    const auto key = qMakePair(method, path);
    std::optional<ScriptedAnswer> scripted;
    if (const auto script = scripts.find(key); script != scripts.end()) {
        scripted = *script;
        if (script->times > 0 && --script->times == 0)
            scripts.erase(script);
        if (!waitUnlessStopping(lock, scripted->delayMs))
            return dropConnection();
    }
    if (scripted && !scripted->thenRealAnswer) {
        const ScriptedAnswer answer = *scripted;
        if (answer.hang) {
            wake.wait(lock, [this] { return stopping; });
            return dropConnection();
        }
        if (answer.closeWithoutAnswer)
            return dropConnection();
        response.status = answer.status;
        for (const auto &[name, value] : answer.headers)
            response.set_header(name.toStdString(), value.toStdString());
        if (answer.endless) {
            const std::string chunk = answer.body.toStdString();
            response.set_chunked_content_provider(answer.contentType.toStdString(),
                                                  [this, chunk](size_t, httplib::DataSink &sink) {
                                                      {
                                                          std::lock_guard stopLock(mutex);
                                                          if (stopping)
                                                              return false;
                                                      }
                                                      return sink.write(chunk.data(), chunk.size());
                                                  });
            return;
        }
        response.set_content(answer.body.toStdString(), answer.contentType.toStdString());
        return;
    }

    const Answer answer = route(method, path, request);
    lock.unlock();
    response.status = answer.status;
    response.set_content(answer.body.toStdString(), answer.contentType.toStdString());
}

Answer SampleBackend::Private::route(const QString &method, const QString &path, const httplib::Request &request)
{
    if (path.startsWith(QLatin1String("/fonts/"))) {
        if (method != QLatin1String("GET"))
            return errorAnswer(405, QStringLiteral("Fonts are fetched with GET"));
        return font(path.mid(7));
    }
    if (path.startsWith(QLatin1String("/pages/"))) {
        if (method != QLatin1String("GET"))
            return errorAnswer(405, QStringLiteral("Pages are fetched with GET"));
        return webPage(path.mid(7));
    }

    struct Endpoint {
        const char *path;
        const char *method;
    };
    static const Endpoint endpoints[] = {
        {"/user/signin", "POST"},
        {"/walkthrough/findbysite", "POST"},
        {"/walkthroughElements/getStepsWithPage", "GET"},
        {"/client/configurationsPerUrl", "POST"},
        {"/epc/mobileTemplate", "GET"},
        {"/walkthroughElements/createElementIos", "POST"},
        {"/walkthroughAnalytics/AddNew", "POST"},
        {"/walkthroughAnalytics/addStep", "POST"},
        {"/walkthroughAnalytics/Complete", "POST"},
    };
    if (!path.startsWith(kApiPrefix + QLatin1Char('/')))
        return errorAnswer(404, QStringLiteral("No such endpoint"));
    const QString endpoint = path.mid(kApiPrefix.size());
    const Endpoint *match = nullptr;
    for (const Endpoint &candidate : endpoints) {
        if (endpoint == QLatin1String(candidate.path))
            match = &candidate;
    }
    if (!match)
        return errorAnswer(404, QStringLiteral("No such endpoint"));
    if (method != QLatin1String(match->method))
        return errorAnswer(405, QStringLiteral("Use %1 for this endpoint").arg(QLatin1String(match->method)));

    if (endpoint == QLatin1String("/walkthroughElements/getStepsWithPage"))
        return stepsWithPage(request);
    if (endpoint == QLatin1String("/epc/mobileTemplate"))
        return mobileTemplate(request);

    const JsonBody body = parseBody(request.body);
    if (!body.error.isEmpty())
        return errorAnswer(400, body.error);
    if (endpoint == QLatin1String("/user/signin"))
        return signIn(body.object);
    if (endpoint == QLatin1String("/walkthrough/findbysite"))
        return findBySite(body.object);
    if (endpoint == QLatin1String("/client/configurationsPerUrl"))
        return configurations(body.object);
    if (endpoint == QLatin1String("/walkthroughElements/createElementIos"))
        return createElement(body.object);
    return analytics(endpoint.section(QLatin1Char('/'), -1), body.object);
}

std::optional<Answer> SampleBackend::Private::checkClient(const QJsonObject &body) const
{
    const QJsonValue appKey = body.value(QStringLiteral("appKey"));
    const QJsonValue site = body.value(QStringLiteral("site"));
    if (!appKey.isString() || !site.isString())
        return errorAnswer(400, QStringLiteral("\"appKey\" and \"site\" are required texts"));
    if (appKey.toString() != clientToken())
        return errorAnswer(401, QStringLiteral("Unknown client token"));
    if (site.toString() != appId())
        return errorAnswer(401, QStringLiteral("The client token is not valid for this site"));
    return std::nullopt;
}

Answer SampleBackend::Private::signIn(const QJsonObject &body)
{
    const QJsonValue email = body.value(QStringLiteral("email"));
    const QJsonValue password = body.value(QStringLiteral("password"));
    if (!email.isString() || !password.isString())
        return errorAnswer(400, QStringLiteral("\"email\" and \"password\" are required texts"));
    if (email.toString() != account.value(QStringLiteral("adminEmail")).toString()
        || password.toString() != account.value(QStringLiteral("adminPassword")).toString())
        return errorAnswer(401, QStringLiteral("Wrong e-mail or password"));

    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    adminTokens.insert(token);
    return jsonAnswer({{QStringLiteral("token"), token},
                       {QStringLiteral("userInfo"),
                        QJsonObject {{QStringLiteral("Email"), email.toString()},
                                     {QStringLiteral("IsAdmin"), true},
                                     {QStringLiteral("displayName"),
                                      account.value(QStringLiteral("adminDisplayName")).toString()}}},
                       {QStringLiteral("message"), QStringLiteral("Signed in")},
                       {QStringLiteral("success"), true}});
}

Answer SampleBackend::Private::findBySite(const QJsonObject &body)
{
    if (const auto refused = checkClient(body))
        return *refused;
    QJsonArray list;
    for (const QJsonObject &walkthrough : std::as_const(walkthroughs)) {
        const QJsonObject name = walkthrough.value(QStringLiteral("wexoName")).toObject();
        list.append(QJsonObject {{QStringLiteral("Id"), walkthrough.value(QStringLiteral("Id"))},
                                 {QStringLiteral("Name"), name.value(QStringLiteral("Name"))},
                                 {QStringLiteral("WalkthroughForSite"), name.value(QStringLiteral("domain"))}});
    }
    return jsonAnswer({{QStringLiteral("walkthrough"), list},
                       {QStringLiteral("message"), QStringLiteral("%1 walkthroughs").arg(list.size())},
                       {QStringLiteral("success"), true}});
}

Answer SampleBackend::Private::stepsWithPage(const httplib::Request &request)
{
    if (!request.has_param("walkthroughId") || !request.has_param("origin"))
        return errorAnswer(400, QStringLiteral("\"walkthroughId\" and \"origin\" are required"));
    const QString origin = fromStd(request.get_param_value("origin"));
    if (origin != QStringLiteral("https//") + appId())
        return errorAnswer(401, QStringLiteral("Unknown origin"));
    const auto index = walkthroughIndex(fromStd(request.get_param_value("walkthroughId")));
    if (!index)
        return errorAnswer(404, QStringLiteral("Unknown walkthrough"));
    return {200, withRoot(walkthroughs.at(*index)), "application/json"};
}

Answer SampleBackend::Private::configurations(const QJsonObject &body)
{
    if (const auto refused = checkClient(body))
        return *refused;
    const QJsonValue url = body.value(QStringLiteral("Url"));
    if (!url.isString())
        return errorAnswer(400, QStringLiteral("\"Url\" is a required text"));
    if (url.toString() != appId())
        return errorAnswer(404, QStringLiteral("No configuration for this Url"));
    return {200, withRoot(theme), "application/json"};
}

Answer SampleBackend::Private::mobileTemplate(const httplib::Request &request)
{
    if (!request.has_param("companyId") || !request.has_param("CompanyUrl"))
        return errorAnswer(400, QStringLiteral("\"companyId\" and \"CompanyUrl\" are required"));
    if (fromStd(request.get_param_value("companyId")) != clientToken())
        return errorAnswer(401, QStringLiteral("Unknown client token"));
    if (fromStd(request.get_param_value("CompanyUrl")) != appId())
        return errorAnswer(401, QStringLiteral("The client token is not valid for this site"));
    return {200, withRoot(templ), "application/json"};
}

Answer SampleBackend::Private::createElement(const QJsonObject &body)
{
    for (const char *key : {"token", "site", "value", "className"}) {
        if (!body.value(QLatin1String(key)).isString())
            return errorAnswer(400, QStringLiteral("\"%1\" is a required text").arg(QLatin1String(key)));
    }
    if (!body.value(QStringLiteral("stepNumber")).isDouble())
        return errorAnswer(400, QStringLiteral("\"stepNumber\" is a required number"));
    // 403 is what makes the client log in again, so it means a refused token only.
    if (!adminTokens.contains(body.value(QStringLiteral("token")).toString()))
        return errorAnswer(403, QStringLiteral("The administrator token is not valid"));
    if (body.value(QStringLiteral("site")).toString() != appId())
        return errorAnswer(401, QStringLiteral("Unknown site"));

    const QString wexoId = body.value(QStringLiteral("wexoId")).toString();
    const bool newWalkthrough = wexoId.isEmpty();
    if (!newWalkthrough && !walkthroughIndex(wexoId))
        return errorAnswer(404, QStringLiteral("Unknown walkthrough"));

    const qsizetype serial = createdSteps.size() + 1;
    QJsonObject request = body;
    request.remove(QStringLiteral("token")); // credentials never reach the store
    const QJsonObject entry {
        {QStringLiteral("walkthroughId"), newWalkthrough ? QStringLiteral("w-rec-%1").arg(serial) : wexoId},
        {QStringLiteral("walkthroughStepId"), QStringLiteral("s-rec-%1").arg(serial)},
        {QStringLiteral("elementId"), QStringLiteral("e-rec-%1").arg(serial)},
        {QStringLiteral("newWalkthrough"), newWalkthrough},
        {QStringLiteral("request"), request}};
    const QString error = applyCreatedStep(entry);
    if (!error.isEmpty())
        return errorAnswer(400, error);
    createdSteps.append(entry);
    saveStore();

    const QString value = body.value(QStringLiteral("value")).toString();
    return jsonAnswer(
        {{QStringLiteral("message"), QStringLiteral("Element created")},
         {QStringLiteral("success"), true},
         {QStringLiteral("walkthroughStepId"), entry.value(QStringLiteral("walkthroughStepId"))},
         {QStringLiteral("walkthroughId"), entry.value(QStringLiteral("walkthroughId"))},
         {QStringLiteral("forPage"), body.value(QStringLiteral("className"))},
         {QStringLiteral("elements"),
          QJsonArray {QJsonObject {{QStringLiteral("ElementId"), entry.value(QStringLiteral("elementId"))},
                                   {QStringLiteral("ElementHtmlId"), value},
                                   {QStringLiteral("Frame"), value}}}}});
}

Answer SampleBackend::Private::analytics(const QString &kind, const QJsonObject &body)
{
    if (const auto refused = checkClient(body))
        return *refused;

    QStringList texts {QStringLiteral("WalkthroughId")};
    QStringList numbers {QStringLiteral("StartTime"), QStringLiteral("EndTime")};
    QStringList flags;
    QString analyticsKey;
    if (kind == QLatin1String("AddNew")) {
        texts << QStringLiteral("SourceURL");
        flags << QStringLiteral("StartsWithPulse") << QStringLiteral("IsWalkthroughAbandoned")
              << QStringLiteral("IsWalkthroughComplete");
    } else if (kind == QLatin1String("addStep")) {
        analyticsKey = QStringLiteral("WalkthroughAnalyticId");
        texts << QStringLiteral("StepId") << QStringLiteral("WalkthroughElementId") << analyticsKey;
        numbers << QStringLiteral("SeenTime");
    } else {
        analyticsKey = QStringLiteral("AnalyticId");
        texts << QStringLiteral("SourceURL") << analyticsKey;
        numbers << QStringLiteral("SeenTime");
        flags << QStringLiteral("StartsWithPulse") << QStringLiteral("IsWalkthroughAbandoned")
              << QStringLiteral("IsWalkthroughComplete");
    }
    for (const QString &key : std::as_const(texts)) {
        if (!body.value(key).isString())
            return errorAnswer(400, QStringLiteral("\"%1\" is a required text").arg(key));
    }
    for (const QString &key : std::as_const(numbers)) {
        if (!body.value(key).isDouble())
            return errorAnswer(400, QStringLiteral("\"%1\" is a required number").arg(key));
    }
    for (const QString &key : std::as_const(flags)) {
        if (!body.value(key).isBool())
            return errorAnswer(400, QStringLiteral("\"%1\" is a required boolean").arg(key));
    }
    if (!walkthroughIndex(body.value(QStringLiteral("WalkthroughId")).toString()))
        return errorAnswer(404, QStringLiteral("Unknown walkthrough"));

    QString analyticsId;
    if (analyticsKey.isEmpty()) {
        qsizetype opened = 0;
        for (const QJsonValue &event : std::as_const(analyticsEvents))
            opened += event.toObject().value(QStringLiteral("kind")).toString() == QLatin1String("AddNew");
        analyticsId = QStringLiteral("a-%1").arg(opened + 1);
    } else {
        analyticsId = body.value(analyticsKey).toString();
        const bool known = std::any_of(analyticsEvents.begin(), analyticsEvents.end(), [&](const QJsonValue &event) {
            const QJsonObject object = event.toObject();
            return object.value(QStringLiteral("kind")).toString() == QLatin1String("AddNew")
                   && object.value(QStringLiteral("analyticsId")).toString() == analyticsId;
        });
        if (!known)
            return errorAnswer(404, QStringLiteral("Unknown analytics record"));
    }

    QJsonObject event = body;
    event.remove(QStringLiteral("appKey"));
    analyticsEvents.append(QJsonObject {{QStringLiteral("kind"), kind},
                                        {QStringLiteral("analyticsId"), analyticsId},
                                        {QStringLiteral("body"), event}});
    saveStore();
    if (analyticsKey.isEmpty()) {
        return jsonAnswer({{QStringLiteral("message"), QStringLiteral("Analytics record opened")},
                           {QStringLiteral("analyticsId"), analyticsId}});
    }
    return jsonAnswer({{QStringLiteral("message"), QStringLiteral("Recorded")}, {QStringLiteral("success"), true}});
}

Answer SampleBackend::Private::font(const QString &name) const
{
    // The name comes from the URL: keep it a plain file name.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    if (!plainName.match(name).hasMatch() || name.contains(QLatin1String("..")))
        return errorAnswer(404, QStringLiteral("No such font"));
    for (const QString &dir : {QDir(options.dataDir).filePath(QStringLiteral("fonts")), kSystemFontDir}) {
        QFile file(QDir(dir).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            return {200, file.readAll(), "font/ttf"};
    }
    return errorAnswer(404, QStringLiteral("No such font"));
}

Answer SampleBackend::Private::webPage(const QString &name) const
{
    // As with fonts, the name from the URL stays a plain file name.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*\\.html$"));
    if (!plainName.match(name).hasMatch() || name.contains(QLatin1String("..")))
        return errorAnswer(404, QStringLiteral("No such page"));
    QFile file(QDir(options.dataDir).filePath(QStringLiteral("pages/") + name));
    if (!file.open(QIODevice::ReadOnly))
        return errorAnswer(404, QStringLiteral("No such page"));
    return {200, file.readAll(), "text/html; charset=utf-8"};
}

SampleBackend::SampleBackend(Options options)
    : d(std::make_unique<Private>())
{
    d->options = std::move(options);
    d->latencyMs = d->options.latencyMs;
    d->loadData();
    if (d->loadError.isEmpty())
        d->loadStore();
}

SampleBackend::~SampleBackend()
{
    stop();
}

bool SampleBackend::start(int port, const QString &host)
{
    if (d->server)
        return true;
    const auto fail = [this](const QString &error) {
        d->startError = error;
        d->server.reset();
        d->port = -1;
        return false;
    };
    if (!d->loadError.isEmpty())
        return fail(d->loadError);
    // Clients that give up leave sockets that a late answer would write into.
    std::signal(SIGPIPE, SIG_IGN);

    const bool tls = !d->options.tlsCertFile.isEmpty() && !d->options.tlsKeyFile.isEmpty();
    if (tls) {
        const QString unusable = checkTlsFiles(d->options.tlsCertFile, d->options.tlsKeyFile);
        if (!unusable.isEmpty())
            return fail(unusable);
        d->server = std::make_unique<httplib::SSLServer>(QFile::encodeName(d->options.tlsCertFile).constData(),
                                                         QFile::encodeName(d->options.tlsKeyFile).constData());
    } else {
        d->server = std::make_unique<httplib::Server>();
    }
    if (!d->server->is_valid())
        return fail(QStringLiteral("the TLS files %1 and %2 cannot be used together")
                        .arg(d->options.tlsCertFile, d->options.tlsKeyFile));
    d->server->set_socket_options(exclusiveSocketOptions);
    // Room for a client's parallel connections next to handlers that hang on purpose.
    d->server->new_task_queue = [] { return new httplib::ThreadPool(16); };
    d->server->set_keep_alive_timeout(2);
    // Headers and body go out in separate writes; without this each answer
    // waits for the client's delayed acknowledgement (about 40 ms).
    d->server->set_tcp_nodelay(true);
    const auto handler = [this](const httplib::Request &request, httplib::Response &response) {
        d->handle(request, response);
    };
    const std::string any = ".*";
    d->server->Get(any, handler);
    d->server->Post(any, handler);
    d->server->Put(any, handler);
    d->server->Patch(any, handler);
    d->server->Delete(any, handler);
    d->server->Options(any, handler);

    const std::string hostText = host.toStdString();
    errno = 0;
    const int bound = port == 0 ? d->server->bind_to_any_port(hostText) : (d->server->bind_to_port(hostText, port) ? port : -1);
    if (bound <= 0) {
        if (errno == EADDRINUSE)
            return fail(QStringLiteral("port %1 on %2 is already in use").arg(port).arg(host));
        return fail(QStringLiteral("cannot listen on %1 port %2: %3")
                        .arg(host)
                        .arg(port)
                        .arg(QString::fromLocal8Bit(errno ? std::strerror(errno) : "no usable address")));
    }
    {
        std::lock_guard lock(d->mutex);
        d->stopping = false;
    }
    d->port = bound;
    d->host = host;
    auto listening = std::make_shared<std::atomic<bool>>(true);
    d->listener = std::thread([server = d->server.get(), listening] {
        server->listen_after_bind();
        *listening = false;
    });
    // httplib's stop() does nothing until the accept loop runs, so a quick stop would hang.
    while (!d->server->is_running() && *listening)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!*listening) {
        d->listener.join();
        return fail(QStringLiteral("the server on %1 port %2 stopped at once").arg(host).arg(bound));
    }
    d->startError.clear();
    return true;
}

void SampleBackend::stop()
{
    if (!d->server)
        return;
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    d->server->stop();
    // Idle keep-alive connections would hold their workers until they time out.
    shutdownConnections(d->port, -1);
    if (d->listener.joinable())
        d->listener.join();
    d->server.reset();
    d->port = -1;
}

QString SampleBackend::errorString() const
{
    return d->startError;
}

int SampleBackend::port() const
{
    return d->port;
}

QString SampleBackend::rootUrl() const
{
    return d->rootUrl();
}

QList<RecordedRequest> SampleBackend::requests() const
{
    std::lock_guard lock(d->mutex);
    return d->log;
}

QList<RecordedRequest> SampleBackend::requests(const QString &pathPrefix) const
{
    std::lock_guard lock(d->mutex);
    QList<RecordedRequest> matching;
    for (const RecordedRequest &request : std::as_const(d->log)) {
        if (request.path.startsWith(pathPrefix))
            matching.append(request);
    }
    return matching;
}

void SampleBackend::clearRequests()
{
    std::lock_guard lock(d->mutex);
    d->log.clear();
}

void SampleBackend::script(const QString &method, const QString &path, const ScriptedAnswer &answer)
{
    std::lock_guard lock(d->mutex);
    if (answer.times == 0)
        d->scripts.remove(qMakePair(method, path));
    else
        d->scripts.insert(qMakePair(method, path), answer);
}

void SampleBackend::clearScripts()
{
    std::lock_guard lock(d->mutex);
    d->scripts.clear();
}

void SampleBackend::setLatencyMs(int latencyMs)
{
    std::lock_guard lock(d->mutex);
    d->latencyMs = latencyMs;
}

QJsonDocument SampleBackend::createdSteps() const
{
    std::lock_guard lock(d->mutex);
    return QJsonDocument(d->createdSteps);
}

QJsonDocument SampleBackend::analyticsEvents() const
{
    std::lock_guard lock(d->mutex);
    return QJsonDocument(d->analyticsEvents);
}

void SampleBackend::revokeAdminTokens()
{
    std::lock_guard lock(d->mutex);
    d->adminTokens.clear();
}

QString SampleBackend::clientToken() const
{
    return d->clientToken();
}

QString SampleBackend::clientAppId() const
{
    return d->appId();
}

QString SampleBackend::adminEmail() const
{
    return d->account.value(QStringLiteral("adminEmail")).toString();
}

QString SampleBackend::adminPassword() const
{
    return d->account.value(QStringLiteral("adminPassword")).toString();
}

} // namespace WexoSample
