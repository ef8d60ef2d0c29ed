#pragma once
#include <QString>
#include <memory>

#include "TGlobals.Codecs.h"

class TIniDocument;

// All persistent user settings, in "Settings.cfg". Every setter writes the whole file at once
// (atomically); a key whose value equals its removal value is deleted instead of written.
// A failing write raises ESealwiseError to the caller; the in-memory value stays.
class TConfiguration {
 public:
  explicit TConfiguration(const QString& AConfigFile);
  ~TConfiguration();
  TConfiguration(const TConfiguration&) = delete;
  TConfiguration& operator=(const TConfiguration&) = delete;

  QString GetPhoneID() const;
  void SetPhoneID(const QString& Value);
  bool GetShowLicense() const;
  void SetShowLicense(bool Value);
  bool GetShowTutorial() const;
  void SetShowTutorial(bool Value);
  QString GetRegisteredDevice() const;
  void SetRegisteredDevice(const QString& Value);
  bool GetUseFahrenheit() const;
  void SetUseFahrenheit(bool Value);
  bool GetUseUSDateFormat() const;
  void SetUseUSDateFormat(bool Value);
  QString GetDefaultUserName() const;
  void SetDefaultUserName(const QString& Value);
  QString GetLanguage() const;
  void SetLanguage(const QString& Value);
  bool GetUseCloud() const;
  void SetUseCloud(bool Value);
  bool GetUseDefaultCloudBaseAddress() const;
  void SetUseDefaultCloudBaseAddress(bool Value);
  QString GetCloudAddress() const;
  void SetCloudAddress(const QString& Value);
  bool GetUseCloudMonitoring() const;
  void SetUseCloudMonitoring(bool Value);
  bool GetCloudSendLocation() const;
  void SetCloudSendLocation(bool Value);
  bool GetUseSMTP() const;
  void SetUseSMTP(bool Value);
  QString GetSMTPHost() const;
  void SetSMTPHost(const QString& Value);
  quint16 GetSMTPPort() const;
  void SetSMTPPort(quint16 Value);
  QString GetSMTPUser() const;
  void SetSMTPUser(const QString& Value);
  QString GetSMTPPass() const;
  void SetSMTPPass(const QString& Value);
  QString GetEmailTo() const;
  void SetEmailTo(const QString& Value);
  QString GetEmailSubject() const;
  void SetEmailSubject(const QString& Value);
  bool GetUseProxy() const;
  void SetUseProxy(bool Value);
  QString GetProxyHost() const;
  void SetProxyHost(const QString& Value);
  quint16 GetProxyPort() const;
  void SetProxyPort(quint16 Value);
  QString GetProxyUser() const;
  void SetProxyUser(const QString& Value);
  QString GetProxyPass() const;
  void SetProxyPass(const QString& Value);

  // "dd-mm-yyyy hh:nn:ss" (or "mm-dd-yyyy" with the US order); CR LF between date and time
  // when ATwoLines.
  QString FormatDateTime(const TDateTime& ADateTime, bool ATwoLines) const;
  QString GetTemperature(double ATemperature) const;
  QString GetUnitTemperature() const;
  QString GetHumidity(int AHumidity) const;

 private:
  QString ReadText(const QString& ASection, const QString& AKey, const QString& ADefault) const;
  // Stores AValue, or removes the key when AValue equals ARemoveValue exactly.
  void WriteText(const QString& ASection, const QString& AKey, const QString& AValue,
                 const QString& ARemoveValue);
  bool ReadFlag(const QString& ASection, const QString& AKey, bool ADefault) const;
  void WriteFlag(const QString& ASection, const QString& AKey, bool AValue, bool ARemoveValue);
  // Ports default to (and are removed at) 587; a stored value outside 0..65535 reads as 587.
  quint16 ReadPort(const QString& ASection, const QString& AKey) const;
  void WritePort(const QString& ASection, const QString& AKey, quint16 AValue);
  // Removes the key or stores AText, then writes the whole file.
  void Store(const QString& ASection, const QString& AKey, const QString& AText, bool ARemove);

  std::unique_ptr<TIniDocument> FIni;
  QString FFileName;
};

// The one settings object of the program. The application creates it before any window from
// GetConfigFilePath(); tests create their own over a temporary file.
extern std::unique_ptr<TConfiguration> Configuration;
