#include "uConfiguration.h"

#include <QLocale>

#include "TIniDocument.h"

std::unique_ptr<TConfiguration> Configuration;

namespace {

const QString kDeviceID = QStringLiteral("DeviceID");
const QString kLicense = QStringLiteral("License");
const QString kTutorial = QStringLiteral("Tutorial");
const QString kRegDev = QStringLiteral("RegDev");
const QString kAppSettings = QStringLiteral("AppSettings");
const QString kLanguage = QStringLiteral("Language");
const QString kCloud = QStringLiteral("Cloud");
const QString kSMTP = QStringLiteral("SMTP");
const QString kEmail = QStringLiteral("Email");
const QString kProxy = QStringLiteral("Proxy");
const QString kShow = QStringLiteral("Show");

const QString kDefaultLanguage = QStringLiteral("English");
const QString kDefaultEmailSubject = QStringLiteral("KX52xx report");
constexpr quint16 kDefaultPort = 587;

// The separator between hours and minutes in the locale's time format (":" when it has none).
QString LocaleTimeSeparator() {
  const QString format = QLocale().timeFormat(QLocale::ShortFormat);
  const qsizetype hours = format.indexOf(u'h', 0, Qt::CaseInsensitive);
  if (hours < 0) return QStringLiteral(":");
  qsizetype pos = hours;
  while (pos < format.size() && format[pos].toLower() == u'h') ++pos;
  const qsizetype minutes = format.indexOf(u'm', pos);
  if (minutes <= pos) return QStringLiteral(":");
  return format.mid(pos, minutes - pos);
}

}  // namespace

TConfiguration::TConfiguration(const QString& AConfigFile)
    : FIni(std::make_unique<TIniDocument>()), FFileName(AConfigFile) {
  FIni->LoadFromFile(AConfigFile);
}

TConfiguration::~TConfiguration() = default;

QString TConfiguration::ReadText(const QString& ASection, const QString& AKey,
                                 const QString& ADefault) const {
  return FIni->ReadString(ASection, AKey, ADefault);
}

void TConfiguration::WriteText(const QString& ASection, const QString& AKey, const QString& AValue,
                               const QString& ARemoveValue) {
  Store(ASection, AKey, AValue, AValue == ARemoveValue);
}

bool TConfiguration::ReadFlag(const QString& ASection, const QString& AKey, bool ADefault) const {
  return FIni->ReadBool(ASection, AKey, ADefault);
}

void TConfiguration::WriteFlag(const QString& ASection, const QString& AKey, bool AValue,
                               bool ARemoveValue) {
  Store(ASection, AKey, AValue ? QStringLiteral("1") : QStringLiteral("0"), AValue == ARemoveValue);
}

quint16 TConfiguration::ReadPort(const QString& ASection, const QString& AKey) const {
  const qint32 value = FIni->ReadInteger(ASection, AKey, kDefaultPort);
  return value >= 0 && value <= 0xFFFF ? static_cast<quint16>(value) : kDefaultPort;
}

void TConfiguration::WritePort(const QString& ASection, const QString& AKey, quint16 AValue) {
  Store(ASection, AKey, QString::number(AValue), AValue == kDefaultPort);
}

void TConfiguration::Store(const QString& ASection, const QString& AKey, const QString& AText,
                           bool ARemove) {
  if (ARemove)
    FIni->DeleteKey(ASection, AKey);
  else
    FIni->WriteString(ASection, AKey, AText);
  FIni->SaveToFile(FFileName);
}

QString TConfiguration::GetPhoneID() const { return ReadText(kDeviceID, kDeviceID, {}); }
void TConfiguration::SetPhoneID(const QString& Value) {
  WriteText(kDeviceID, kDeviceID, Value, {});
}

bool TConfiguration::GetShowLicense() const { return ReadFlag(kLicense, kShow, true); }
void TConfiguration::SetShowLicense(bool Value) { WriteFlag(kLicense, kShow, Value, true); }

bool TConfiguration::GetShowTutorial() const { return ReadFlag(kTutorial, kShow, false); }
void TConfiguration::SetShowTutorial(bool Value) { WriteFlag(kTutorial, kShow, Value, false); }

QString TConfiguration::GetRegisteredDevice() const {
  return ReadText(kRegDev, QStringLiteral("SerialNr"), {});
}
void TConfiguration::SetRegisteredDevice(const QString& Value) {
  WriteText(kRegDev, QStringLiteral("SerialNr"), Value, {});
}

bool TConfiguration::GetUseFahrenheit() const {
  return ReadFlag(kAppSettings, QStringLiteral("Fahrenheit"), false);
}
void TConfiguration::SetUseFahrenheit(bool Value) {
  WriteFlag(kAppSettings, QStringLiteral("Fahrenheit"), Value, false);
}

bool TConfiguration::GetUseUSDateFormat() const {
  return ReadFlag(kAppSettings, QStringLiteral("USDateFormat"), false);
}
void TConfiguration::SetUseUSDateFormat(bool Value) {
  WriteFlag(kAppSettings, QStringLiteral("USDateFormat"), Value, false);
}

QString TConfiguration::GetDefaultUserName() const {
  return ReadText(kAppSettings, QStringLiteral("UserName"), {});
}
void TConfiguration::SetDefaultUserName(const QString& Value) {
  WriteText(kAppSettings, QStringLiteral("UserName"), Value, {});
}

QString TConfiguration::GetLanguage() const {
  return ReadText(kLanguage, QStringLiteral("Lang"), kDefaultLanguage);
}
void TConfiguration::SetLanguage(const QString& Value) {
  WriteText(kLanguage, QStringLiteral("Lang"), Value, {});
}

bool TConfiguration::GetUseCloud() const {
  return ReadFlag(kCloud, QStringLiteral("UseCloud"), false);
}
void TConfiguration::SetUseCloud(bool Value) {
  WriteFlag(kCloud, QStringLiteral("UseCloud"), Value, false);
}

bool TConfiguration::GetUseDefaultCloudBaseAddress() const {
  return ReadFlag(kCloud, QStringLiteral("UseDefaultAddress"), false);
}
void TConfiguration::SetUseDefaultCloudBaseAddress(bool Value) {
  WriteFlag(kCloud, QStringLiteral("UseDefaultAddress"), Value, false);
}

QString TConfiguration::GetCloudAddress() const {
  return ReadText(kCloud, QStringLiteral("OwnCloudAddress"), {});
}
void TConfiguration::SetCloudAddress(const QString& Value) {
  WriteText(kCloud, QStringLiteral("OwnCloudAddress"), Value, {});
}

bool TConfiguration::GetUseCloudMonitoring() const {
  return ReadFlag(kCloud, QStringLiteral("UseCloudMonitoring"), false);
}
void TConfiguration::SetUseCloudMonitoring(bool Value) {
  WriteFlag(kCloud, QStringLiteral("UseCloudMonitoring"), Value, false);
}

bool TConfiguration::GetCloudSendLocation() const {
  return ReadFlag(kCloud, QStringLiteral("CloudSendLocation"), false);
}
void TConfiguration::SetCloudSendLocation(bool Value) {
  WriteFlag(kCloud, QStringLiteral("CloudSendLocation"), Value, false);
}

bool TConfiguration::GetUseSMTP() const {
  return ReadFlag(kSMTP, QStringLiteral("UseSMTP"), false);
}
void TConfiguration::SetUseSMTP(bool Value) {
  WriteFlag(kSMTP, QStringLiteral("UseSMTP"), Value, false);
}

QString TConfiguration::GetSMTPHost() const {
  return ReadText(kSMTP, QStringLiteral("SMTPHost"), {});
}
void TConfiguration::SetSMTPHost(const QString& Value) {
  WriteText(kSMTP, QStringLiteral("SMTPHost"), Value, {});
}

quint16 TConfiguration::GetSMTPPort() const { return ReadPort(kSMTP, QStringLiteral("SMTPPort")); }
void TConfiguration::SetSMTPPort(quint16 Value) {
  WritePort(kSMTP, QStringLiteral("SMTPPort"), Value);
}

QString TConfiguration::GetSMTPUser() const {
  return ReadText(kSMTP, QStringLiteral("SMTPUserName"), {});
}
void TConfiguration::SetSMTPUser(const QString& Value) {
  WriteText(kSMTP, QStringLiteral("SMTPUserName"), Value, {});
}

QString TConfiguration::GetSMTPPass() const {
  return ReadText(kSMTP, QStringLiteral("SMTPPassword"), {});
}
void TConfiguration::SetSMTPPass(const QString& Value) {
  WriteText(kSMTP, QStringLiteral("SMTPPassword"), Value, {});
}

QString TConfiguration::GetEmailTo() const {
  return ReadText(kEmail, QStringLiteral("EmailTo"), {});
}
void TConfiguration::SetEmailTo(const QString& Value) {
  WriteText(kEmail, QStringLiteral("EmailTo"), Value, {});
}

QString TConfiguration::GetEmailSubject() const {
  return ReadText(kEmail, QStringLiteral("EmailSubject"), kDefaultEmailSubject);
}
void TConfiguration::SetEmailSubject(const QString& Value) {
  WriteText(kEmail, QStringLiteral("EmailSubject"), Value, kDefaultEmailSubject);
}

bool TConfiguration::GetUseProxy() const {
  return ReadFlag(kProxy, QStringLiteral("UseProxy"), false);
}
void TConfiguration::SetUseProxy(bool Value) {
  WriteFlag(kProxy, QStringLiteral("UseProxy"), Value, false);
}

QString TConfiguration::GetProxyHost() const {
  return ReadText(kProxy, QStringLiteral("ProxyHost"), {});
}
void TConfiguration::SetProxyHost(const QString& Value) {
  WriteText(kProxy, QStringLiteral("ProxyHost"), Value, {});
}

quint16 TConfiguration::GetProxyPort() const {
  return ReadPort(kProxy, QStringLiteral("ProxyPort"));
}
void TConfiguration::SetProxyPort(quint16 Value) {
  WritePort(kProxy, QStringLiteral("ProxyPort"), Value);
}

QString TConfiguration::GetProxyUser() const {
  return ReadText(kProxy, QStringLiteral("ProxyUserName"), {});
}
void TConfiguration::SetProxyUser(const QString& Value) {
  WriteText(kProxy, QStringLiteral("ProxyUserName"), Value, {});
}

QString TConfiguration::GetProxyPass() const {
  return ReadText(kProxy, QStringLiteral("ProxyPassword"), {});
}
void TConfiguration::SetProxyPass(const QString& Value) {
  WriteText(kProxy, QStringLiteral("ProxyPassword"), Value, {});
}

QString TConfiguration::FormatDateTime(const TDateTime& ADateTime, bool ATwoLines) const {
  const QDate date = ADateTime.date();
  const QTime time = ADateTime.time();
  const int first = GetUseUSDateFormat() ? date.month() : date.day();
  const int second = GetUseUSDateFormat() ? date.day() : date.month();
  const QString sep = LocaleTimeSeparator();
  return QString::asprintf("%02d-%02d-%04d", first, second, date.year()) +
         (ATwoLines ? QStringLiteral("\r\n") : QStringLiteral(" ")) +
         QString::asprintf("%02d", time.hour()) + sep + QString::asprintf("%02d", time.minute()) +
         sep + QString::asprintf("%02d", time.second());
}

QString TConfiguration::GetTemperature(double ATemperature) const {
  const double value = GetUseFahrenheit() ? ATemperature * 9 / 5 + 32 : ATemperature;
  return QString::asprintf("%3.0f ", value) + GetUnitTemperature();
}

QString TConfiguration::GetUnitTemperature() const {
  return GetUseFahrenheit() ? QStringLiteral("°F") : QStringLiteral("°C");
}

QString TConfiguration::GetHumidity(int AHumidity) const {
  return QString::asprintf("%d %%", AHumidity);
}
