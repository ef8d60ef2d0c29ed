#include "uPanelSensors.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "Vek.Controls.h"
#include "uMonitoring.h"
#include "uStyles.h"

// The symbols live in a resource file of their own, compiled into this static library;
// referencing its initialiser keeps the linker from dropping it.
static bool InitSensorResources() {
  Q_INIT_RESOURCE(monitoring);
  return true;
}

TSensorsPanel::TSensorsPanel(QWidget* parent)
    : TPanel(StemPanel(QStringLiteral("Sensors"), QStringLiteral("Sensors"),
                       QStringLiteral("Additional Sensors.")),
             parent) {
  static const bool resources = InitSensorResources();
  Q_UNUSED(resources);
  FContent = new QWidget(MainPage());
  FContent->setObjectName(QStringLiteral("rectSensorsContent"));
  auto* column = new QVBoxLayout(MainPage());
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(FContent);
  FDistance = new QWidget(FContent);
  FDistance->setObjectName(QStringLiteral("rectSensorDistance"));

  struct TTileSpec {
    const char* Tile;
    const char* Label;
    const char* Symbol;
  };
  static const TTileSpec tiles[TileCount] = {
      {"rectSensorTemperature", "lblSensorTemperature", ":/images/sensors/temperature.svg"},
      {"rectSensorHumidity", "lblSensorHumidity", ":/images/sensors/humidity.svg"},
      {"rectSensorDirection", "lblSensorDirection", ":/images/sensors/direction.svg"},
      {"rectSensorSteps", "lblSensorSteps", ":/images/sensors/steps.svg"}};
  for (int i = 0; i < TileCount; ++i) {
    FTiles[i] = MakeTile(QLatin1String(tiles[i].Tile), QLatin1String(tiles[i].Symbol), FValues[i]);
    FValues[i]->setObjectName(QLatin1String(tiles[i].Label));
  }
  FTiles[stDirection]->hide();
  FTiles[stSteps]->hide();
  setFixedHeight(HeaderHeight + TileHeight + 8);
  FContent->installEventFilter(this);
}

QWidget* TSensorsPanel::MakeTile(const QString& AName, const QString& ASymbol, QLabel*& AValue) {
  auto* tile = new QWidget(FContent);
  tile->setObjectName(AName);
  tile->setFixedSize(TileWidth, TileHeight);
  auto* column = new QVBoxLayout(tile);
  column->setContentsMargins(0, 2, 0, 2);
  column->setSpacing(2);
  auto* symbol = new TGlyph(AName + QStringLiteral("Symbol"), tile);
  symbol->SetSvg(ASymbol);
  symbol->setFixedSize(26, 26);
  column->addWidget(symbol, 0, Qt::AlignHCenter);
  AValue = new QLabel(QStringLiteral("---"), tile);
  AValue->setAlignment(Qt::AlignCenter);
  AValue->setFont(TStyles::Font(12, true));
  TStyles::SetTextColor(AValue, Qt::white);
  column->addWidget(AValue);
  return tile;
}

void TSensorsPanel::SetTileMargins() {
  FTileMargin = (FContent->width() - TileCount * TileWidth) / 8;
}

void TSensorsPanel::ArrangeTiles() {
  int used = 0;
  for (const QWidget* tile : FTiles) {
    if (!tile->isHidden()) used += tile->width() + 2 * FTileMargin;
  }
  FDistance->setGeometry(0, 0, std::max(0, (Pages()->width() - used) / 2), FContent->height());
  int x = FDistance->width();
  const int y = std::max(0, (FContent->height() - TileHeight) / 2);
  for (QWidget* tile : FTiles) {
    if (tile->isHidden()) continue;
    x += FTileMargin;
    tile->move(x, y);
    x += tile->width() + FTileMargin;
  }
}

bool TSensorsPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
  // The panel gets its real width only when the dashboard is first laid out, after the window
  // was shown: the tiles are centred again for it.
  if (AWatched == FContent && AEvent->type() == QEvent::Resize) {
    SetTileMargins();
    ArrangeTiles();
  }
  return TPanel::eventFilter(AWatched, AEvent);
}
