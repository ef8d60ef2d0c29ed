#pragma once
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "KX52xx.Data.Answers.h"
#include "KX52xx.Data.Types.h"
#include "TGlobals.Codecs.h"

// One record of the device's stored history: a seal check with its measurements, or an event
// or alert with its values. The device sends it as three pieces (start, user name, time).
class THistoryRecord {
 public:
  TAlertType AlertType() const { return FAlertType; }
  void SetAlertType(TAlertType Value) { FAlertType = Value; }
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(const TDateTime& Value) { FDateTime = Value; }
  QString UserName() const { return FUserName; }
  void SetUserName(const QString& Value) { FUserName = Value; }
  bool Pass() const { return FPass; }
  void SetPass(bool Value) { FPass = Value; }
  bool Fail() const { return FFail; }
  void SetFail(bool Value) { FFail = Value; }
  TMaskType MaskType() const { return FMaskType; }
  void SetMaskType(TMaskType Value) { FMaskType = Value; }
  int LowestPoint() const { return FLowestPoint; }
  void SetLowestPoint(int Value) { FLowestPoint = Value; }
  int StartPoint() const { return FStartPoint; }
  void SetStartPoint(int Value) { FStartPoint = Value; }
  int EndPoint() const { return FEndPoint; }
  void SetEndPoint(int Value) { FEndPoint = Value; }
  int FailPoint() const { return FFailPoint; }
  void SetFailPoint(int Value) { FFailPoint = Value; }
  int SamplesCount() const { return FSamplesCount; }
  void SetSamplesCount(int Value) { FSamplesCount = Value; }
  double ValueMeasured() const { return FValueMeasured; }
  void SetValueMeasured(double Value) { FValueMeasured = Value; }
  double ValueReference() const { return FValueReference; }
  void SetValueReference(double Value) { FValueReference = Value; }
  bool CrcOk() const { return FCrcOk; }
  void SetCrcOk(bool Value) { FCrcOk = Value; }

  // The record as the cloud takes it: one JSON member per line (CR LF between lines), opening
  // brace included, closing brace left to the sender. Numbers always use a decimal point and
  // texts are escaped, so the server can parse it whatever the computer's regional settings.
  // Kinds other than seal checks, impact and fall protection give the empty text.
  QString GetAsString() const;
  // GetAsString in the shared single-byte encoding.
  QByteArray GetAsBytes() const;

 private:
  TAlertType FAlertType = atUnknown;
  TDateTime FDateTime;
  QString FUserName;
  bool FPass = false;
  bool FFail = false;
  TMaskType FMaskType = mtUndefined;
  int FLowestPoint = 0;
  int FStartPoint = 0;
  int FEndPoint = 0;
  int FFailPoint = 0;
  int FSamplesCount = 0;
  double FValueMeasured = 0;
  double FValueReference = 0;
  bool FCrcOk = false;
};

// The pieces of a command-33 answer: a 4-byte header whose top two bits give the kind.
enum THistoryPieceKind : quint8 { hpStart = 0, hpUserName = 1, hpTime = 2, hpUnused = 3 };

// The kind of a piece; nothing for a piece shorter than its header.
std::optional<THistoryPieceKind> HistoryPieceKind(const QByteArray& AData);
// A record from a start piece (at least 16 bytes); nothing for a shorter one.
std::unique_ptr<THistoryRecord> HistoryRecordFromStart(const QByteArray& AData);
// The wearer's name of a user-name piece; the device's "N/A" (any letter case) is no name.
QString HistoryUserName(const QByteArray& AData);
// The checksum status of a user-name piece: only 0x55 in byte 15 reports a bad checksum.
bool HistoryCrcOk(const QByteArray& AData);
