#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>
#include <functional>

// A small HTTP/1.1 server on 127.0.0.1 for tests and benchmarks: plain or TLS, it records
// every request and answers as the test scripts it. It lives on the thread that creates it
// and serves while that thread runs its event loop. Only loopback addresses are used.

struct TLoopbackRequest {
  QByteArray Method;
  QByteArray Path;
  QList<QPair<QByteArray, QByteArray>> Headers;  // in arrival order, names as sent
  QByteArray Body;

  // The first header of that name (any letter case); a null array when absent.
  QByteArray Header(const QByteArray& name) const;
  bool HasHeader(const QByteArray& name) const { return !Header(name).isNull(); }
};

struct TLoopbackResponse {
  int Status = 200;
  QList<QPair<QByteArray, QByteArray>> Headers;
  QByteArray Body;
  // The connection stays open and silent: a request that never gets its answer.
  bool NoAnswer = false;

  static TLoopbackResponse Json(int status, const QByteArray& body);
  TLoopbackResponse& WithHeader(const QByteArray& name, const QByteArray& value) {
    Headers.append(qMakePair(name, value));
    return *this;
  }
};

using TLoopbackHandler = std::function<TLoopbackResponse(const TLoopbackRequest&)>;

class TLoopbackHttpServer : public QTcpServer {
 public:
  // Plain HTTP.
  TLoopbackHttpServer();
  // HTTPS with this certificate (PEM) and its private key (PEM, unencrypted RSA).
  TLoopbackHttpServer(const QString& certificateFile, const QString& keyFile);
  ~TLoopbackHttpServer() override;

  // Listens on 127.0.0.1, on a free port; false when that fails.
  bool Start();
  // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>".
  QString BaseUrl() const;

  // Answers every request; without one, each answer is status 200 with the body "{}".
  void SetHandler(TLoopbackHandler handler) { FHandler = std::move(handler); }
  const QList<TLoopbackRequest>& Requests() const { return FRequests; }
  int RequestCount() const { return int(FRequests.size()); }
  void ClearRequests() { FRequests.clear(); }

  static QSslCertificate LoadCertificate(const QString& pemFile);

 protected:
  void incomingConnection(qintptr socketDescriptor) override;

 private:
  void Serve(QTcpSocket* socket);
  // One complete request taken from the front of buffer, or false while it is incomplete.
  static bool TakeRequest(QByteArray& buffer, TLoopbackRequest& request);
  void Answer(QTcpSocket* socket, const TLoopbackRequest& request);

  bool FSecure = false;
  QSslCertificate FCertificate;
  QSslKey FKey;
  TLoopbackHandler FHandler;
  QList<TLoopbackRequest> FRequests;
};
