#include "KX52xx.Data.Phys.Cloud.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>
#include <limits>

#include "KX52xx.Data.Types.h"
#include "TGlobals.Cloud.h"
#include "uConfiguration.h"

namespace {

constexpr TCmdID kCmdPressure = 16;
constexpr TCmdID kCmdDeviceTime = 20;
constexpr TCmdID kCmdHistoryRecord = 33;
constexpr TCmdID kCmdUserName = 240;
constexpr TCmdID kCmdAlert = 255;
constexpr int kMinEventPayload = 5;
constexpr int kMinResultPayload = 15;

const QString kRecordsAddress = QStringLiteral("/records");
const QString kLoginAddress = QStringLiteral("/login");

// Record fragments, exactly as the server reads them.
const QString kTimeOpening = QStringLiteral("{\"Time\": \"");
const QString kValueEnd = QStringLiteral("\",");
const QString kPressureLabel = QStringLiteral("\"Pressure\": ");
const QString kClosing = QStringLiteral("}");
const QString kNameLabel = QStringLiteral("\"Name\": \"");
const QString kStartEvent = QStringLiteral("\"Event\": \"SEALWISE START\"}");
const QString kEventLabel = QStringLiteral("\"Event\": \"");
const QString kAlertLabel = QStringLiteral("\"Alert\": \"");
const QString kQuotedClosing = QStringLiteral("\"}");
const QString kComma = QStringLiteral(",");
const QString kLatitudeLabel = QStringLiteral("\"Latitude\": ");
const QString kLongitudeLabel = QStringLiteral("\"Longitude\": ");
const QString kAlertTypeLabel = QStringLiteral("\"AlertType\": ");
const QString kHexOpening = QStringLiteral("\"0x");
const QString kLineBreak = QStringLiteral("\r\n");

QString JsonString(const QString& text) {
  return QLatin1Char('"') + TGlobals::JsonEscaped(text) + QLatin1Char('"');
}

// Shortest general form, up to 15 significant digits, always with a decimal point.
QString DecimalText(double value) { return QString::number(value, 'g', 15); }

bool IsJsonNumber(const QString& text) {
  static const QRegularExpression number(
      QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
  return number.match(text).hasMatch();
}

QString DeviceTimeText(const QByteArray& payload) {
  return TGlobals::FormatCloudDate(TGlobals::DecodeDateTime(payload, 1));
}

// The measurements of a seal-check result, one member per line.
QString ResultBlock(const QByteArray& payload) {
  static const char* const kPointLabels[] = {
      "\"LowestPoint\": ", "\"StartPoint\": ", "\"CheckEndPoint\": ", "\"FailPoint\": "};
  QString block =
      kLineBreak + kAlertTypeLabel + kHexOpening +
      QStringLiteral("%1").arg(quint8(payload.at(0)), 2, 16, QLatin1Char('0')).toUpper() +
      kValueEnd;
  int at = 5;
  for (const char* label : kPointLabels) {
    block += kLineBreak + QLatin1String(label) +
             DecimalText(TGlobals::DataTo_UInt16(payload, at) / 100.0) + kComma;
    at += 2;
  }
  return block + kLineBreak + QStringLiteral("\"Samples\": ") +
         QString::number(TGlobals::DataTo_UInt16(payload, 13)) + kLineBreak;
}

// The first property named Token (any letter case), nested ones included, as text.
QString FindToken(const QJsonValue& value) {
  if (value.isArray()) {
    for (const QJsonValue& item : value.toArray()) {
      const QString token = FindToken(item);
      if (!token.isEmpty()) return token;
    }
    return {};
  }
  const QJsonObject object = value.toObject();
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (it.key().compare(QLatin1String("Token"), Qt::CaseInsensitive) == 0)
      return it.value().isString() ? it.value().toString() : it.value().toVariant().toString();
  }
  for (auto it = object.begin(); it != object.end(); ++it) {
    const QString token = FindToken(it.value());
    if (!token.isEmpty()) return token;
  }
  return {};
}

QString TokenOfAnswer(const QString& body) {
  const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8());
  return FindToken(document.isArray() ? QJsonValue(document.array())
                                      : QJsonValue(document.object()));
}

}  // namespace

TKX52xxDataPhysCloud::TKX52xxDataPhysCloud(void* AOwner, const QString& AName)
    : FOwner(AOwner),
      FName(AName),
      FLatitude(std::numeric_limits<double>::quiet_NaN()),
      FLongitude(std::numeric_limits<double>::quiet_NaN()) {}

TKX52xxDataPhysCloud::~TKX52xxDataPhysCloud() = default;

QString TKX52xxDataPhysCloud::Name() const { return FName; }

QString TKX52xxDataPhysCloud::DeviceID() const { return TGlobals::GetCloudBaseAddress(false); }

void TKX52xxDataPhysCloud::DiscoverDevices() {}

void TKX52xxDataPhysCloud::Connect(const QString& SerialNumber) {
  if (FDeviceID.isEmpty() || FState > dsDisconnected) return;
  FState = dsConnecting;
  const std::weak_ptr<bool> alive = FAlive;
  const bool isServer = TGlobals::IsKX52ServerCorrect(SerialNumber);
  // The check keeps the event loop running: the link may have been dropped or disconnected.
  if (alive.expired() || FState != dsConnecting) return;
  if (!isServer) {
    FState = dsServerError;
    return;
  }
  RESTSender = std::make_unique<TRESTSender>(DeviceID());
  RESTSender->SetOnResponseReceived(
      [this](const TRestIOTask& task, int code, const QString& body, const TRestParameters&) {
        HandleResponse(task, code, body);
      });
  RESTSender->SetOnSend([this](bool success, const QString&) {
    if (success) RaiseDataWritten(0);
  });
  RESTSender->WriteImmediately(kLoginAddress, rmPOST, LoginBody(), {}, false);
  RaiseConnected();
  if (alive.expired() || !FOnDataReaded) return;
  FState = dsConnected;
  const TDateTime now = TGlobals::Now();
  RaiseDataReaded(now, kCmdDeviceTime, TGlobals::EncodeDateTime(now, false));
}

void TKX52xxDataPhysCloud::Disconnect() {
  FState = dsDisconnected;
  RESTSender.reset();
}

TDeviceState TKX52xxDataPhysCloud::DeviceState() const { return FState; }
bool TKX52xxDataPhysCloud::IsDiscovering() const { return true; }
bool TKX52xxDataPhysCloud::IsDiscovered() const { return true; }
bool TKX52xxDataPhysCloud::IsConnected() const { return FState > dsDisconnected; }
void TKX52xxDataPhysCloud::Read(TCmdID) {}

void TKX52xxDataPhysCloud::Write(TCmdID ACmd, const QByteArray& AData) { Send(ACmd, AData, false); }

void TKX52xxDataPhysCloud::WriteNow(TCmdID ACmd, const QByteArray& AData) {
  Send(ACmd, AData, true);
}

void TKX52xxDataPhysCloud::Write(const QString& AAddress, TRESTRequestMethod RESTRequestMethod,
                                 const QString& ABody, const TRestParameters& AParameters,
                                 bool AIsArray) {
  PassOn(AAddress, RESTRequestMethod, ABody, AParameters, AIsArray, false);
}

void TKX52xxDataPhysCloud::WriteNow(const QString& AAddress, TRESTRequestMethod RESTRequestMethod,
                                    const QString& ABody, const TRestParameters& AParameters,
                                    bool AIsArray) {
  PassOn(AAddress, RESTRequestMethod, ABody, AParameters, AIsArray, true);
}

void TKX52xxDataPhysCloud::PassOn(const QString& AAddress, TRESTRequestMethod AMethod,
                                  const QString& ABody, const TRestParameters& AParameters,
                                  bool AIsArray, bool AImmediately) {
  if (!IsConnected() || !RESTSender) return;
  if (AImmediately)
    RESTSender->WriteImmediately(AAddress, AMethod, ABody, AParameters, AIsArray);
  else
    RESTSender->Write(AAddress, AMethod, ABody, AParameters, AIsArray);
}

void TKX52xxDataPhysCloud::Send(TCmdID ACmd, const QByteArray& AData, bool AImmediately) {
  if (!IsConnected() || AData.isEmpty()) return;
  if (ACmd == kCmdPressure && !Configuration->GetUseCloudMonitoring()) return;
  if (ACmd == kCmdUserName) {
    FUserName = TGlobals::Encoding().GetString(AData);
    return;
  }
  const QString body = RecordBody(ACmd, AData);
  // Every record goes out as an array item, so records written together leave together.
  if (!body.isEmpty()) PassOn(kRecordsAddress, rmPOST, body, {}, true, AImmediately);
}

QString TKX52xxDataPhysCloud::RecordBody(TCmdID ACmd, const QByteArray& AData) const {
  switch (ACmd) {
    case kCmdPressure: {
      const QString pressure = TGlobals::Encoding().GetString(AData).trimmed();
      if (!IsJsonNumber(pressure)) return {};
      return kTimeOpening + TGlobals::FormatCloudDate(TGlobals::Now()) + kValueEnd +
             kPressureLabel + pressure + kClosing;
    }
    case kCmdHistoryRecord: {
      const QString record = TGlobals::Encoding().GetString(AData);
      return record.isEmpty() ? QString() : record + kClosing;
    }
    case kCmdAlert:
      return EventRecordBody(AData);
    default:
      return {};
  }
}

QString TKX52xxDataPhysCloud::EventRecordBody(const QByteArray& AData) const {
  if (AData.size() < kMinEventPayload) return {};
  const quint8 kind = quint8(AData.at(0));
  switch (kind) {
    case atSealwiseStart:
      return EventRecordOpening(AData) + kStartEvent;
    case atSealwisePassed:
    case atSealwiseFailed:
      if (AData.size() < kMinResultPayload) return {};
      return EventRecordOpening(AData) + kEventLabel + TGlobals::JsonEscaped(AlertTypeText(kind)) +
             kValueEnd + ResultBlock(AData) + kClosing;
    case atOverBreathing:
    case atDoubleBreathe:
      return EventRecordOpening(AData) + kAlertLabel + TGlobals::JsonEscaped(AlertTypeText(kind)) +
             kQuotedClosing;
    default:
      return {};
  }
}

QString TKX52xxDataPhysCloud::EventRecordOpening(const QByteArray& AData) const {
  QString opening = kTimeOpening + DeviceTimeText(AData) + kValueEnd;
  if (Configuration->GetUseCloud() && Configuration->GetCloudSendLocation()) {
    const bool known = std::isfinite(FLatitude) && std::isfinite(FLongitude);
    opening += kLatitudeLabel + DecimalText(known ? FLatitude : 0.0) + kComma + kLongitudeLabel +
               DecimalText(known ? FLongitude : 0.0) + kComma;
  }
  if (!FUserName.isEmpty()) opening += kNameLabel + TGlobals::JsonEscaped(FUserName) + kValueEnd;
  return opening;
}

QString TKX52xxDataPhysCloud::LoginBody() const {
  if (FDeviceID.isEmpty() || FPhoneID.isEmpty()) return {};
  return QStringLiteral("{\"DeviceType\":%1,\"DeviceUID\":%2,\"PhoneUID\":%3}")
      .arg(JsonString(FDeviceType), JsonString(FDeviceID), JsonString(FPhoneID));
}

void TKX52xxDataPhysCloud::HandleResponse(const TRestIOTask& ATask, int ACode,
                                          const QString& ABody) {
  if (ACode != 200 || ATask.Address.compare(kLoginAddress, Qt::CaseInsensitive) != 0) return;
  RESTSender->SetToken(TokenOfAnswer(ABody));
  FState = RESTSender->Token() == QLatin1String("OK") ? dsConnected : dsDisconnected;
}

void TKX52xxDataPhysCloud::SetDevice_ID(const QString& Value) { FDeviceID = Value; }
QString TKX52xxDataPhysCloud::Device_ID() const { return FDeviceID; }
void TKX52xxDataPhysCloud::SetDevice_Type(const QString& Value) { FDeviceType = Value; }
QString TKX52xxDataPhysCloud::Device_Type() const { return FDeviceType; }
void TKX52xxDataPhysCloud::SetPhone_ID(const QString& Value) { FPhoneID = Value; }
QString TKX52xxDataPhysCloud::Phone_ID() const { return FPhoneID; }
void TKX52xxDataPhysCloud::SetUserName(const QString& Value) { FUserName = Value; }
QString TKX52xxDataPhysCloud::UserName() const { return FUserName; }

void TKX52xxDataPhysCloud::SetLocation(double ALatitude, double ALongitude) {
  FLatitude = ALatitude;
  FLongitude = ALongitude;
}
