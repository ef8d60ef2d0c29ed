#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <random>
#include <vector>

#include "KX52xx.Sim.Events.h"
#include "KX52xx.Sim.Model.h"

// One record of the device's history store.
struct KX52xxSimHistoryRecord {
  quint8 Kind = KX52xxSimKind::SealCheckPassed;
  quint32 DeviceTime = 0;
  QByteArray UserName;  // at most 9 bytes are stored; empty is stored as "N/A"
  quint8 MaskType = 1;  // 1 full-face mask, 2 half mask
  // Seal checks: lowest, start, end and fail point, samples. Other kinds: measured and
  // reference value (hundredths), then zeros.
  std::array<qint16, 5> Values = {};
  bool CrcGood = true;  // false: the record is stored damaged and reported as such
};

KX52xxSimHistoryRecord SealCheckRecord(const KX52xxSimSealCheck& check, quint32 deviceTime,
                                       const QByteArray& userName, quint8 maskType);
KX52xxSimHistoryRecord EventRecord(quint8 kind, const KX52xxSimAlertValues& values,
                                   quint32 deviceTime, const QByteArray& userName, quint8 maskType);

// The three pieces a record travels as in answers to command 33: the record start (16
// bytes), the user name with the checksum status (16 bytes) and the time (8 bytes). The
// header's low 30 bits carry the record number.
std::vector<QByteArray> HistoryPieces(const KX52xxSimHistoryRecord& record, quint32 number);

// The name field of a record as stored (9 bytes, NUL-padded).
QByteArray StoredUserName(const KX52xxSimHistoryRecord& record);
// The record's checksum over its start, name and time fields.
quint8 RecordCrc(const KX52xxSimHistoryRecord& record);

// A plausible past for a device of this model: count records, oldest first, the newest a
// little before nowDeviceTime.
std::vector<KX52xxSimHistoryRecord> GeneratedHistory(KX52xxSimModel model, int count,
                                                     quint32 nowDeviceTime,
                                                     quint16 activationPoint100, std::mt19937& rng);
