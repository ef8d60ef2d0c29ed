#include "LoopbackHttpServer.h"

#include <QFile>
#include <QHostAddress>
#include <QSslSocket>
#include <memory>

namespace {

constexpr int kMaxHeaderBytes = 64 * 1024;
const char* const kBufferProperty = "loopbackBuffer";

QByteArray ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

QByteArray TLoopbackRequest::Header(const QByteArray& name) const {
  for (const auto& [key, value] : Headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value.isNull() ? "" : value;
  return {};
}

TLoopbackResponse TLoopbackResponse::Json(int status, const QByteArray& body) {
  TLoopbackResponse response;
  response.Status = status;
  response.Body = body;
  return response.WithHeader("Content-Type", "application/json");
}

TLoopbackHttpServer::TLoopbackHttpServer() = default;

TLoopbackHttpServer::TLoopbackHttpServer(const QString& certificateFile, const QString& keyFile)
    : FSecure(true),
      FCertificate(LoadCertificate(certificateFile)),
      FKey(ReadFile(keyFile), QSsl::Rsa, QSsl::Pem) {}

TLoopbackHttpServer::~TLoopbackHttpServer() { close(); }

bool TLoopbackHttpServer::Start() { return listen(QHostAddress::LocalHost, 0); }

QString TLoopbackHttpServer::BaseUrl() const {
  return QStringLiteral("%1://127.0.0.1:%2")
      .arg(FSecure ? QStringLiteral("https") : QStringLiteral("http"))
      .arg(serverPort());
}

QSslCertificate TLoopbackHttpServer::LoadCertificate(const QString& pemFile) {
  return QSslCertificate(ReadFile(pemFile), QSsl::Pem);
}

void TLoopbackHttpServer::incomingConnection(qintptr socketDescriptor) {
  std::unique_ptr<QTcpSocket> socket =
      FSecure ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
  if (!socket->setSocketDescriptor(socketDescriptor)) return;
  QTcpSocket* connection = socket.release();
  connection->setParent(this);
  connect(connection, &QTcpSocket::readyRead, this, [this, connection] { Serve(connection); });
  connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
  if (auto* secure = qobject_cast<QSslSocket*>(connection)) {
    secure->setLocalCertificate(FCertificate);
    secure->setPrivateKey(FKey);
    secure->setPeerVerifyMode(QSslSocket::VerifyNone);
    secure->startServerEncryption();
  }
}

void TLoopbackHttpServer::Serve(QTcpSocket* socket) {
  QByteArray buffer = socket->property(kBufferProperty).toByteArray() + socket->readAll();
  if (buffer.size() > kMaxHeaderBytes && !buffer.contains("\r\n\r\n")) {
    socket->abort();
    return;
  }
  TLoopbackRequest request;
  while (TakeRequest(buffer, request)) Answer(socket, request);
  socket->setProperty(kBufferProperty, buffer);
}

bool TLoopbackHttpServer::TakeRequest(QByteArray& buffer, TLoopbackRequest& request) {
  const int headerEnd = int(buffer.indexOf("\r\n\r\n"));
  if (headerEnd < 0) return false;
  const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
  const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
  request = TLoopbackRequest();
  request.Method = requestLine.value(0);
  request.Path = requestLine.value(1);
  qsizetype contentLength = 0;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines[i].indexOf(':');
    if (colon <= 0) continue;
    const QByteArray name = lines[i].left(colon).trimmed();
    const QByteArray value = lines[i].mid(colon + 1).trimmed();
    request.Headers.append({name, value});
    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
      contentLength = value.toLongLong();
  }
  const qsizetype bodyStart = headerEnd + 4;
  if (buffer.size() - bodyStart < contentLength) return false;
  request.Body = buffer.mid(bodyStart, contentLength);
  buffer.remove(0, bodyStart + contentLength);
  return true;
}

void TLoopbackHttpServer::Answer(QTcpSocket* socket, const TLoopbackRequest& request) {
  FRequests.append(request);
  const TLoopbackResponse response =
      FHandler ? FHandler(request) : TLoopbackResponse::Json(200, "{}");
  if (response.NoAnswer) return;
  QByteArray head = "HTTP/1.1 " + QByteArray::number(response.Status) + ' ' +
                    ReasonPhrase(response.Status) + "\r\n";
  for (const auto& [name, value] : response.Headers) head += name + ": " + value + "\r\n";
  head += "Content-Length: " + QByteArray::number(response.Body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  socket->write(head + response.Body);
  socket->disconnectFromHost();
}
