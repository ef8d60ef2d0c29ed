#include "TGlobals.Cloud.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include "Vek.RESTSender.h"
#include "uConfiguration.h"

namespace {

constexpr int kMaxInfoRedirects = 10;
const QString kServerType = QStringLiteral("KX52xx Cloud Server");

QString WithoutTrailingSlash(QString address) {
  if (address.endsWith(QLatin1Char('/'))) address.chop(1);
  return address;
}

// What the server check reads from an /info answer; missing numbers count as -1.
struct TServerInfo {
  QString Type;
  int Version = -1;
  int Subversion = -1;
  bool TypesOk = true;
};

bool ReadInteger(const QJsonValue& value, int& out) {
  if (!value.isDouble()) return false;
  const double number = value.toDouble();
  if (number != static_cast<int>(number)) return false;
  out = static_cast<int>(number);
  return true;
}

bool IsDateTimeText(const QJsonValue& value) {
  if (!value.isString()) return false;
  QString text = value.toString();
  text.replace(QLatin1Char(' '), QLatin1Char('T'));
  return QDateTime::fromString(text, Qt::ISODateWithMs).isValid();
}

void ReadProperty(const QString& name, const QJsonValue& value, TServerInfo& info) {
  const auto is = [&name](const char* wanted) {
    return name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
  };
  if (is("Type")) {
    info.TypesOk = info.TypesOk && value.isString();
    info.Type = value.toString();
  } else if (is("Version")) {
    info.TypesOk = ReadInteger(value, info.Version) && info.TypesOk;
  } else if (is("Subversion")) {
    info.TypesOk = ReadInteger(value, info.Subversion) && info.TypesOk;
  } else if (is("DateTime")) {
    info.TypesOk = info.TypesOk && IsDateTimeText(value);
  }
}

// Visits every property of the document, nested ones included.
void Collect(const QJsonValue& value, TServerInfo& info) {
  if (value.isObject()) {
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      ReadProperty(it.key(), it.value(), info);
      Collect(it.value(), info);
    }
  } else if (value.isArray()) {
    for (const QJsonValue& item : value.toArray()) Collect(item, info);
  }
}

bool IsKX52ServerInfo(const QByteArray& body) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(body, &error);
  if (error.error != QJsonParseError::NoError) return false;
  TServerInfo info;
  Collect(document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array()), info);
  return info.TypesOk && info.Type.compare(kServerType, Qt::CaseInsensitive) == 0 &&
         info.Version == 1 && info.Subversion >= 0;
}

// GETs the address on this thread; the local event loop keeps the window responsive.
QByteArray GetInfoAnswer(const QString& address) {
  QNetworkAccessManager manager;
  QNetworkRequest request{QUrl(address)};
  request.setSslConfiguration(RestSslConfiguration());
  request.setMaximumRedirectsAllowed(kMaxInfoRedirects);
  request.setTransferTimeout(RestRequestTimeoutMs);
  std::unique_ptr<QNetworkReply> reply(manager.get(request));
  QEventLoop loop;
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(RestRequestTimeoutMs, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec();
  if (!reply->isFinished()) reply->abort();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (reply->error() != QNetworkReply::NoError || status != 200) return {};
  return reply->readAll();
}

}  // namespace

namespace TGlobals {

QString FormatCloudDate(const TDateTime& ADateTime) {
  return ADateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString GeneratePhoneID() { return QUuid::createUuid().toString(QUuid::Id128).toUpper(); }

QString GetPhoneID() {
  QString id = Configuration->GetPhoneID();
  if (id.isEmpty()) {
    id = GeneratePhoneID();
    Configuration->SetPhoneID(id);
  }
  return id;
}

QString GetCloudBaseAddress(bool UseInsecureAddress) {
  QString address = Configuration->GetUseDefaultCloudBaseAddress()
                        ? QString()
                        : WithoutTrailingSlash(Configuration->GetCloudAddress());
  if (UseInsecureAddress) {
    const int at = address.indexOf(QLatin1String("https://"));
    if (at >= 0) address.replace(at, 8, QStringLiteral("http://"));
  }
  return address;
}

QString JsonEscaped(const QString& AText) {
  QString out;
  out.reserve(AText.size());
  for (const QChar c : AText) {
    switch (c.unicode()) {
      case '"':
        out += QLatin1String("\\\"");
        break;
      case '\\':
        out += QLatin1String("\\\\");
        break;
      case '\b':
        out += QLatin1String("\\b");
        break;
      case '\f':
        out += QLatin1String("\\f");
        break;
      case '\n':
        out += QLatin1String("\\n");
        break;
      case '\r':
        out += QLatin1String("\\r");
        break;
      case '\t':
        out += QLatin1String("\\t");
        break;
      default:
        if (c.unicode() < 0x20)
          out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
          out += c;
    }
  }
  return out;
}

bool IsKX52ServerCorrect(const QString& AAddress) {
  const QByteArray answer = GetInfoAnswer(WithoutTrailingSlash(AAddress) + QStringLiteral("/info"));
  return !answer.isEmpty() && IsKX52ServerInfo(answer);
}

}  // namespace TGlobals
