#include "KX52xx.Data.History.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include "TGlobals.Cloud.h"

namespace {

constexpr int kHeaderSize = 4;
constexpr int kStartPieceSize = 16;
constexpr int kUserNameIndex = 4;
constexpr int kUserNameMaxBytes = 9;
constexpr int kCrcStatusIndex = 15;
constexpr quint8 kCrcBad = 0x55;

// AText as a JSON string, quotes included, escaped by Qt's JSON writer.
QString JsonText(const QString& AText) {
  const QByteArray array = QJsonDocument(QJsonArray{AText}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// At most 5 significant digits, no trailing zeros, always a decimal point.
QString ShortNumber(double AValue) { return QString::number(AValue, 'g', 5); }
// The shortest form with up to 15 significant digits, always a decimal point.
QString FullNumber(double AValue) { return QString::number(AValue, 'g', 15); }

QString Member(const char* AName, const QString& AValue) {
  return QStringLiteral("\"%1\": %2").arg(QLatin1String(AName), AValue);
}

QString SealCheckEventText(const THistoryRecord& ARecord) {
  if (ARecord.Pass()) return QStringLiteral("Sealwise Passed");
  if (ARecord.Fail()) return QStringLiteral("Sealwise Failed");
  return QStringLiteral("Sealwise Unknown");
}

void AddSealCheckMembers(const THistoryRecord& ARecord, QStringList& AMembers) {
  AMembers << Member("Event", JsonText(SealCheckEventText(ARecord)))
           << Member("LowestPoint", ShortNumber(ARecord.LowestPoint() / 100.0))
           << Member("CheckEndPoint", ShortNumber(ARecord.EndPoint() / 100.0))
           << Member("Name", JsonText(ARecord.UserName()))
           << Member("Samples", QString::number(ARecord.SamplesCount()));
}

void AddMotionAlertMembers(const THistoryRecord& ARecord, QStringList& AMembers) {
  const QString event = ARecord.AlertType() == atImpact ? QStringLiteral("Impact")
                                                        : QStringLiteral("Fall Protection");
  AMembers << Member("Event", JsonText(event))
           << Member("StartPoint", QString::number(ARecord.StartPoint()))
           << Member("FailPoint", QString::number(ARecord.FailPoint()))
           << Member("Name", JsonText(ARecord.UserName()))
           << Member("ValueReference", FullNumber(ARecord.ValueReference()))
           << Member("ValueMeasured", FullNumber(ARecord.ValueMeasured()));
}

}  // namespace

QString THistoryRecord::GetAsString() const {
  const bool sealCheck = IsSealCheckKind(FAlertType);
  const bool motionAlert = FAlertType == atImpact || FAlertType == atFallProtection;
  if (!sealCheck && !motionAlert) return QString();

  QStringList members;
  members << Member("Time", JsonText(TGlobals::FormatCloudDate(FDateTime)));
  if (sealCheck)
    AddSealCheckMembers(*this, members);
  else
    AddMotionAlertMembers(*this, members);
  if (FMaskType == mtFFM) members << Member("MaskType", JsonText(QStringLiteral("FullFaceMask")));
  if (FMaskType == mtHM) members << Member("MaskType", JsonText(QStringLiteral("HalfMask")));
  members << Member("CRCCorrect",
                    JsonText(FCrcOk ? QStringLiteral("True") : QStringLiteral("False")));
  return QLatin1Char('{') + members.join(QLatin1String(",\r\n"));
}

QByteArray THistoryRecord::GetAsBytes() const { return TGlobals::String_ToData(GetAsString()); }

std::optional<THistoryPieceKind> HistoryPieceKind(const QByteArray& AData) {
  if (AData.size() < kHeaderSize) return std::nullopt;
  return static_cast<THistoryPieceKind>(TGlobals::DataTo_UInt32(AData, 0) >> 30);
}

std::unique_ptr<THistoryRecord> HistoryRecordFromStart(const QByteArray& AData) {
  if (AData.size() < kStartPieceSize) return nullptr;
  auto record = std::make_unique<THistoryRecord>();
  const quint8 kind = TGlobals::DataTo_UInt8(AData, 14);
  if (IsSealCheckKind(kind)) {
    record->SetAlertType(static_cast<TAlertType>(kind));
    record->SetPass(kind == atSealwisePassed);
    record->SetFail(kind == atSealwiseFailed);
    record->SetLowestPoint(TGlobals::DataTo_Int16(AData, 4));
    record->SetStartPoint(TGlobals::DataTo_Int16(AData, 6));
    record->SetEndPoint(TGlobals::DataTo_Int16(AData, 8));
    record->SetFailPoint(TGlobals::DataTo_Int16(AData, 10));
    record->SetSamplesCount(TGlobals::DataTo_Int16(AData, 12));
  } else {
    record->SetAlertType(ToAlertType(kind));
    record->SetValueMeasured(TGlobals::DataTo_Int16(AData, 4) / 100.0);
    record->SetValueReference(TGlobals::DataTo_Int16(AData, 6) / 100.0);
  }
  record->SetMaskType(MaskTypeFromByte(TGlobals::DataTo_UInt8(AData, 15)));
  return record;
}

QString HistoryUserName(const QByteArray& AData) {
  const QString name = TGlobals::DataTo_String(AData, kUserNameIndex, kUserNameMaxBytes);
  return name.toUpper() == QLatin1String("N/A") ? QString() : name;
}

bool HistoryCrcOk(const QByteArray& AData) {
  return AData.size() <= kCrcStatusIndex ||
         static_cast<quint8>(AData.at(kCrcStatusIndex)) != kCrcBad;
}
