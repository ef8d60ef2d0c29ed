#pragma once
#include <QString>
#include <array>

#include "Vek.Panel.h"

class QLabel;

// The sensors panel pnlSensors of the dashboard: tiles for temperature, humidity, direction
// and steps (the last two hidden), each a symbol over a value, centred in the panel.
class TSensorsPanel : public TPanel {
  Q_OBJECT
 public:
  enum TTile { stTemperature = 0, stHumidity = 1, stDirection = 2, stSteps = 3 };
  static constexpr int TileCount = 4;
  static constexpr int TileWidth = 62;
  static constexpr int TileHeight = 54;

  explicit TSensorsPanel(QWidget* parent);

  QWidget* Tile(TTile ATile) const { return FTiles[ATile]; }
  QLabel* Value(TTile ATile) const { return FValues[ATile]; }
  QWidget* Content() const { return FContent; }
  QWidget* Distance() const { return FDistance; }
  // Centres the visible tiles: the spacer before them takes half the width they leave free.
  void ArrangeTiles();

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  QWidget* MakeTile(const QString& AName, const QString& ASymbol, QLabel*& AValue);
  // Each tile gets an eighth of the width the four tiles leave free on either side.
  void SetTileMargins();

  QWidget* FContent = nullptr;
  QWidget* FDistance = nullptr;
  std::array<QWidget*, TileCount> FTiles{};
  std::array<QLabel*, TileCount> FValues{};
  int FTileMargin = 0;
};
