#pragma once
#include <QElapsedTimer>
#include <QtGlobal>
#include <random>

// The mask pressure the device measures: ambient pressure with a breathing wave (short inhale
// below ambient, longer exhale above), a little sensor noise, and during a seal check the
// held inhalation that the check measures.
class KX52xxSimPressure {
 public:
  explicit KX52xxSimPressure(quint32 seed);
  // The reading now, in pascal.
  quint32 Sample();
  // Seal check: the wearer inhales and holds depth pascal below ambient until EndHold.
  void BeginHold(double depth);
  void EndHold();

 private:
  double Relative(qint64 ms) const;
  QElapsedTimer FClock;
  std::mt19937 FRng;
  double FDepth = 0;
  qint64 FHoldStartMs = -1;
  qint64 FHoldEndMs = -1;
};
