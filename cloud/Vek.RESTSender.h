#pragma once
#include <QMap>
#include <QSslConfiguration>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

// Sends JSON requests to one REST server from a worker thread, so callers on the GUI thread
// never wait for the network. Normal requests wait one second before they leave, so records
// written meanwhile to the same address join into one JSON array; priority requests leave at
// once and before every normal one. Results are reported on the GUI thread.

// Every request of the cloud waits at most this long for its answer.
constexpr int RestRequestTimeoutMs = 5000;
// The default configuration with certificates validated and TLS 1.2 or newer only.
QSslConfiguration RestSslConfiguration();

enum TRESTRequestMethod : quint8 { rmPOST = 0, rmPUT = 1, rmGET = 2, rmDELETE = 3, rmPATCH = 4 };

// Header name -> value.
using TRestParameters = QMap<QString, QString>;

// Stored and handed back only: requests go out directly.
struct TProxySettings {
  QString ProxyServer;
  qint32 ProxyPort = 0;
  QString ProxyUserName;
  QString ProxyPassword;

  TProxySettings() = default;
  // All four values when AProxyServer is not empty, else all cleared.
  TProxySettings(const QString& AProxyServer, quint16 AProxyPort, const QString& AProxyUserName,
                 const QString& AProxyPassword);
  void Assign(const TProxySettings& Proxy);
  void Clear();
  static TProxySettings Empty();
};

// One request.
class TRestIOTask {
 public:
  TRestIOTask() = default;
  TRestIOTask(const QString& AAddress, TRESTRequestMethod AMethod, const QString& ABody,
              const TRestParameters& AParameters, bool AIsArray, bool ASendImmediately);
  void Assign(const TRestIOTask& RestIOTask) { *this = RestIOTask; }
  // Extends the body by ",\r\n" and ABody (IsArray bodies are runs of JSON values).
  void Append(const QString& ABody);
  // The body as it goes on the wire: inside square brackets when IsArray.
  QString WireBody() const;

  QString Address;
  TRESTRequestMethod Method = rmPOST;
  QString Body;
  TRestParameters Parameters;
  bool SendImmediately = false;
  bool IsArray = false;
};

using TOnRestResponse =
    std::function<void(const TRestIOTask& RequestRestIOTask, int ResponseCode,
                       const QString& ResponseBody, const TRestParameters& ResponseParameters)>;
using TOnRestSend = std::function<void(bool Success, const QString& AResponse)>;

class TRestIOThread;
struct TRestShared;

class TRESTSender {
 public:
  explicit TRESTSender(const QString& ABaseURL);
  TRESTSender(const QString& ABaseURL, const TProxySettings& AProxyConfiguration);
  // Drops what is queued and ends the worker; a request in flight is abandoned.
  ~TRESTSender();
  TRESTSender(const TRESTSender&) = delete;
  TRESTSender& operator=(const TRESTSender&) = delete;

  // Normal queue. With AIsArray an array task of the same address and method that still waits
  // takes ABody in; otherwise a new task is queued.
  void Write(const QString& AAddress, TRESTRequestMethod RESTRequestMethod, const QString& ABody,
             const TRestParameters& AParameters = {}, bool AIsArray = false);
  // The same on the priority queue.
  void WriteImmediately(const QString& AAddress, TRESTRequestMethod RESTRequestMethod,
                        const QString& ABody, const TRestParameters& AParameters = {},
                        bool AIsArray = false);

  // "OK" once a non-empty token is set, else empty.
  QString Token() const;
  void SetToken(const QString& AToken);
  TProxySettings ProxySettings() const;
  void SetProxySettings(const TProxySettings& Value);

  // Both run on the GUI thread after each request.
  void SetOnSend(TOnRestSend handler);
  void SetOnResponseReceived(TOnRestResponse handler);

  // Scales the pause before normal requests (1.0: one second). Tests shorten it.
  static void SetTimeScale(double AScale);
  static int NormalPauseMs();

 private:
  // Shared with the worker and with the calls it posts to the GUI thread, which may still be
  // pending when the sender is gone.
  std::shared_ptr<TRestShared> FShared;
  std::unique_ptr<TRestIOThread> RestIOThread;
  bool FTokenSet = false;
};
