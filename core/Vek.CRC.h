#pragma once
#include <QByteArray>
#include <QtGlobal>

// CRC-8 of the device frames: polynomial 0x31, initial 0xFF, no reflection, no final xor.
// Raises ESealwiseError "Wrong start index" / "Wrong stop index" for a range outside AData.
quint8 CRC8(const QByteArray& AData, int AStart, int ACount);
