#include "Vek.RESTSender.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "KX52xx.Data.Queues.h"

namespace {

constexpr int kNormalPauseMs = 1000;
std::atomic<double> gTimeScale{1.0};

const QByteArray kAccept = "application/json, text/plain; q=0.9, text/html;q=0.8,";
const QByteArray kAcceptCharset = "utf-8, *;q=0.8";
// Qt would otherwise ask for gzip and deflate on its own.
const QByteArray kAcceptEncoding = "identity";
const QByteArray kContentType = "application/json";
const QByteArray kUserAgent = "KX52XX-HttpClient/1.0";

QByteArray MethodVerb(TRESTRequestMethod method) {
  switch (method) {
    case rmPUT:
      return "PUT";
    case rmGET:
      return "GET";
    case rmDELETE:
      return "DELETE";
    case rmPATCH:
      return "PATCH";
    case rmPOST:
      break;
  }
  return "POST";
}

// The answer re-formatted with 4-space indentation; empty when it is not JSON. Qt's document
// parser takes objects and arrays only, so a lone value is read as the one item of an array.
QString FormatJsonBody(const QByteArray& body) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(body, &error);
  if (error.error == QJsonParseError::NoError)
    return QString::fromUtf8(document.toJson(QJsonDocument::Indented)).trimmed();
  const QJsonDocument wrapped = QJsonDocument::fromJson("[" + body + "]", &error);
  if (error.error != QJsonParseError::NoError || wrapped.array().size() != 1) return {};
  const QByteArray item = QJsonDocument(wrapped.array()).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(item.mid(1, item.size() - 2));
}

// Name -> value of the answer's header lines; empty names or values are skipped and the first
// of repeated names is kept.
TRestParameters ResponseHeaders(const QNetworkReply& reply) {
  TRestParameters headers;
  for (const auto& [name, value] : reply.rawHeaderPairs()) {
    const QString key = QString::fromLatin1(name);
    if (key.isEmpty() || value.isEmpty() || headers.contains(key)) continue;
    headers.insert(key, QString::fromLatin1(value));
  }
  return headers;
}

}  // namespace

QSslConfiguration RestSslConfiguration() {
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setProtocol(QSsl::TlsV1_2OrLater);
  configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
  return configuration;
}

// --- TProxySettings ---------------------------------------------------------------------------

TProxySettings::TProxySettings(const QString& AProxyServer, quint16 AProxyPort,
                               const QString& AProxyUserName, const QString& AProxyPassword) {
  if (AProxyServer.isEmpty()) return;
  ProxyServer = AProxyServer;
  ProxyPort = AProxyPort;
  ProxyUserName = AProxyUserName;
  ProxyPassword = AProxyPassword;
}

void TProxySettings::Assign(const TProxySettings& Proxy) {
  *this = Proxy.ProxyServer.isEmpty() ? TProxySettings() : Proxy;
}

void TProxySettings::Clear() { *this = TProxySettings(); }

TProxySettings TProxySettings::Empty() { return {}; }

// --- TRestIOTask ------------------------------------------------------------------------------

TRestIOTask::TRestIOTask(const QString& AAddress, TRESTRequestMethod AMethod, const QString& ABody,
                         const TRestParameters& AParameters, bool AIsArray, bool ASendImmediately)
    : Address(AAddress),
      Method(AMethod),
      Body(ABody),
      Parameters(AParameters),
      SendImmediately(ASendImmediately),
      IsArray(AIsArray) {}

void TRestIOTask::Append(const QString& ABody) { Body += QStringLiteral(",\r\n") + ABody; }

QString TRestIOTask::WireBody() const {
  return IsArray ? QLatin1Char('[') + Body + QLatin1Char(']') : Body;
}

// --- State shared by the sender, its worker and the calls posted to the GUI thread -------------

struct TRestShared {
  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<TRestIOTask> List;
  std::deque<TRestIOTask> PriorityList;
  std::optional<TRestIOTask> Taken;
  bool Ending = false;
  QString Token;
  TProxySettings Proxy;
  // The worker's own thread object while its loop runs: quitting it ends a request in flight.
  QThread* WorkerThread = nullptr;
  // Touched on the GUI thread only.
  TOnRestSend OnSend;
  TOnRestResponse OnResponse;

  bool HasTask() const { return !List.empty() || !PriorityList.empty(); }

  // GUI thread: the head of the priority queue, else the head of the normal queue.
  void TakeNextTask() {
    std::lock_guard<std::mutex> guard(Lock);
    Taken.reset();
    if (Ending) return;
    auto& queue = PriorityList.empty() ? List : PriorityList;
    if (queue.empty()) return;
    Taken = std::move(queue.front());
    queue.pop_front();
  }

  void Queue(std::deque<TRestIOTask>& queue, TRestIOTask task) {
    std::lock_guard<std::mutex> guard(Lock);
    if (task.IsArray) {
      for (TRestIOTask& waiting : queue) {
        if (waiting.IsArray && waiting.Address == task.Address && waiting.Method == task.Method) {
          waiting.Append(task.Body);
          return;
        }
      }
    }
    queue.push_back(std::move(task));
    Wake.notify_all();
  }
};

// --- TRestIOThread ----------------------------------------------------------------------------

class TRestIOThread {
 public:
  TRestIOThread(std::shared_ptr<TRestShared> shared, const QString& baseURL)
      : FShared(std::move(shared)), FBaseURL(baseURL) {}
  ~TRestIOThread() {
    Stop();
    if (FThread.joinable()) FThread.join();
  }
  TRestIOThread(const TRestIOThread&) = delete;
  TRestIOThread& operator=(const TRestIOThread&) = delete;

  void Start() {
    FThread = std::thread([this] { Run(); });
  }

  // Any thread. Wakes every wait of the worker, a wait for the GUI thread included; a request
  // in flight is abandoned.
  void Stop() {
    {
      std::lock_guard<std::mutex> guard(FShared->Lock);
      FShared->Ending = true;
      // Ends the local event loop of a request in flight, and makes every later one return.
      if (FShared->WorkerThread) FShared->WorkerThread->quit();
    }
    FShared->Wake.notify_all();
    FGuiCall.Abort();
  }

 private:
  void Run() {
    {
      std::lock_guard<std::mutex> guard(FShared->Lock);
      if (FShared->Ending) return;
      FShared->WorkerThread = QThread::currentThread();
    }
    Serve();
    std::lock_guard<std::mutex> guard(FShared->Lock);
    FShared->WorkerThread = nullptr;
  }

  void Serve() {
    QNetworkAccessManager client;
    client.setCookieJar(new QNetworkCookieJar(&client));
    while (WaitForWork()) {
      if (!RunOnGuiThread([shared = FShared] { shared->TakeNextTask(); })) return;
      std::optional<TRestIOTask> task;
      {
        std::lock_guard<std::mutex> guard(FShared->Lock);
        task.swap(FShared->Taken);
      }
      if (!task) continue;
      if (!task->SendImmediately && !PauseBeforeSending()) return;
      Execute(client, *task);
    }
  }

  // Sleeps until a task is queued; false when the worker is to end.
  bool WaitForWork() {
    std::unique_lock<std::mutex> lock(FShared->Lock);
    FShared->Wake.wait(lock, [this] { return FShared->Ending || FShared->HasTask(); });
    return !FShared->Ending;
  }

  // The pause that lets records join a waiting array task; false when the worker is to end.
  bool PauseBeforeSending() {
    std::unique_lock<std::mutex> lock(FShared->Lock);
    const auto pause = std::chrono::milliseconds(TRESTSender::NormalPauseMs());
    return !FShared->Wake.wait_for(lock, pause, [this] { return FShared->Ending; });
  }

  // Runs the call on the GUI thread and waits until it has run; false when the worker is told
  // to end meanwhile (then the call does not run). A handler's error drops that report only.
  bool RunOnGuiThread(std::function<void()> call) {
    try {
      return FGuiCall.Run(std::move(call));
    } catch (...) {
      return !IsEnding();
    }
  }

  QNetworkRequest BuildRequest(const TRestIOTask& task) const {
    QNetworkRequest request{QUrl(FBaseURL + task.Address)};
    request.setRawHeader("Accept", kAccept);
    request.setRawHeader("Accept-Charset", kAcceptCharset);
    request.setRawHeader("Accept-Encoding", kAcceptEncoding);
    request.setRawHeader("Content-Type", kContentType);
    request.setRawHeader("User-Agent", kUserAgent);
    {
      std::lock_guard<std::mutex> guard(FShared->Lock);
      if (!FShared->Token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + FShared->Token.toUtf8());
    }
    for (auto it = task.Parameters.cbegin(); it != task.Parameters.cend(); ++it)
      request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setSslConfiguration(RestSslConfiguration());
    request.setTransferTimeout(RestRequestTimeoutMs);
    return request;
  }

  bool IsEnding() const {
    std::lock_guard<std::mutex> guard(FShared->Lock);
    return FShared->Ending;
  }

  void Execute(QNetworkAccessManager& client, const TRestIOTask& task) {
    std::unique_ptr<QNetworkReply> reply(client.sendCustomRequest(
        BuildRequest(task), MethodVerb(task.Method), task.WireBody().toUtf8()));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    if (!reply->isFinished() || IsEnding()) {
      reply->abort();
      return;
    }
    // An answer with any status code is a request that went out and came back.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool answered = status.isValid();
    const QString error = answered ? QString() : reply->errorString();
    const bool go = RunOnGuiThread([shared = FShared, answered, error] {
      const TOnRestSend onSend = shared->OnSend;
      if (onSend) onSend(answered, error);
    });
    if (!go) return;
    const QString body = FormatJsonBody(reply->readAll());
    RunOnGuiThread(
        [shared = FShared, task, code = status.toInt(), body, headers = ResponseHeaders(*reply)] {
          const TOnRestResponse onResponse = shared->OnResponse;
          if (onResponse) onResponse(task, code, body, headers);
        });
  }

  std::shared_ptr<TRestShared> FShared;
  const QString FBaseURL;
  TGuiThreadCall FGuiCall;
  std::thread FThread;
};

// --- TRESTSender ------------------------------------------------------------------------------

TRESTSender::TRESTSender(const QString& ABaseURL) : TRESTSender(ABaseURL, TProxySettings()) {}

TRESTSender::TRESTSender(const QString& ABaseURL, const TProxySettings& AProxyConfiguration)
    : FShared(std::make_shared<TRestShared>()) {
  FShared->Proxy.Assign(AProxyConfiguration);
  RestIOThread = std::make_unique<TRestIOThread>(FShared, ABaseURL);
  RestIOThread->Start();
}

TRESTSender::~TRESTSender() {
  {
    std::lock_guard<std::mutex> guard(FShared->Lock);
    FShared->List.clear();
    FShared->PriorityList.clear();
  }
  FShared->OnSend = nullptr;
  FShared->OnResponse = nullptr;
  RestIOThread.reset();  // stops and joins the worker
}

void TRESTSender::Write(const QString& AAddress, TRESTRequestMethod RESTRequestMethod,
                        const QString& ABody, const TRestParameters& AParameters, bool AIsArray) {
  FShared->Queue(FShared->List,
                 TRestIOTask(AAddress, RESTRequestMethod, ABody, AParameters, AIsArray, false));
}

void TRESTSender::WriteImmediately(const QString& AAddress, TRESTRequestMethod RESTRequestMethod,
                                   const QString& ABody, const TRestParameters& AParameters,
                                   bool AIsArray) {
  FShared->Queue(FShared->PriorityList,
                 TRestIOTask(AAddress, RESTRequestMethod, ABody, AParameters, AIsArray, true));
}

QString TRESTSender::Token() const { return FTokenSet ? QStringLiteral("OK") : QString(); }

void TRESTSender::SetToken(const QString& AToken) {
  std::lock_guard<std::mutex> guard(FShared->Lock);
  FShared->Token = AToken;
  FTokenSet = !AToken.isEmpty();
}

TProxySettings TRESTSender::ProxySettings() const {
  std::lock_guard<std::mutex> guard(FShared->Lock);
  return FShared->Proxy;
}

void TRESTSender::SetProxySettings(const TProxySettings& Value) {
  std::lock_guard<std::mutex> guard(FShared->Lock);
  FShared->Proxy.Assign(Value);
}

void TRESTSender::SetOnSend(TOnRestSend handler) { FShared->OnSend = std::move(handler); }

void TRESTSender::SetOnResponseReceived(TOnRestResponse handler) {
  FShared->OnResponse = std::move(handler);
}

void TRESTSender::SetTimeScale(double AScale) { gTimeScale = AScale; }

int TRESTSender::NormalPauseMs() { return qRound(kNormalPauseMs * gTimeScale.load()); }
