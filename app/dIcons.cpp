#include "dIcons.h"

#include <QPainter>
#include <QSvgRenderer>
#include <initializer_list>

std::unique_ptr<TdmIcons> dmIcons;

// The drawings are compiled into this static library; referencing the resource's initialiser
// keeps the linker from dropping it.
static void InitImageResources() { Q_INIT_RESOURCE(sealwise); }

QImage TImageList::RenderSvg(const QString& AResource, const QSize& ASize) {
  QImage image(ASize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(AResource);
  if (renderer.isValid()) {
    const QSizeF fitted = QSizeF(renderer.defaultSize()).scaled(ASize, Qt::KeepAspectRatio);
    const QRectF target(
        QPointF((ASize.width() - fitted.width()) / 2, (ASize.height() - fitted.height()) / 2),
        fitted);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, target);
  }
  return image;
}

const QImage& TImageList::Picture(int AIndex) const {
  TEntry& entry = FEntries[static_cast<size_t>(AIndex)];
  if (!entry.Resource.isEmpty()) {
    entry.Picture = RenderSvg(entry.Resource, QSize(RenderSize, RenderSize));
    entry.Resource.clear();
  }
  return entry.Picture;
}

QPixmap TImageList::Bitmap(int AIndex, const QSize& ASize) const {
  if (!IsValidIndex(AIndex) || ASize.isEmpty()) return {};
  return QPixmap::fromImage(
      Picture(AIndex).scaled(ASize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QImage TImageList::Image(int AIndex) const {
  return IsValidIndex(AIndex) ? Picture(AIndex) : QImage();
}

void TImageList::AddSvg(const QString& AResource) {
  FEntries.push_back({AResource, QImage()});
}

void TImageList::Add(const QImage& AImage) { FEntries.push_back({QString(), AImage}); }

void TImageList::SetImage(int AIndex, const QImage& AImage) {
  if (IsValidIndex(AIndex)) FEntries[static_cast<size_t>(AIndex)] = {QString(), AImage};
}

namespace {
void Fill(TImageList& AList, std::initializer_list<const char*> ANames) {
  for (const char* name : ANames) AList.AddSvg(QStringLiteral(":/images/%1.svg").arg(name));
}
}  // namespace

TdmIcons::TdmIcons(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("dmIcons"));
  InitImageResources();
  Fill(ilPanels, {"info", "cog", "filter"});
  Fill(ilFooter, {"dashboard", "cog", "info", "report"});
  Fill(ilLicense, {"check", "cancel"});
  Fill(ilConnectors, {"connected", "bluetooth", "usb", "cloud"});
  Fill(ilBatteryDefaults, {"battery_none", "battery_charging", "battery_empty", "battery_1",
                           "battery_2", "battery_3", "battery_full"});
  ilBattery = ilBatteryDefaults;
  Fill(ilSealwise, {"fail", "pass", "fall", "impact", "warning"});
  Fill(ilIcons, {"account", "save", "email", "share", "filter", "secured_letter", "cloud",
                 "firewall", "upload_cloud", "location"});
}

TImageList& TdmIcons::List(TIconList AList) {
  switch (AList) {
    case TIconList::Panels:
      return ilPanels;
    case TIconList::Footer:
      return ilFooter;
    case TIconList::License:
      return ilLicense;
    case TIconList::Connectors:
      return ilConnectors;
    case TIconList::BatteryDefaults:
      return ilBatteryDefaults;
    case TIconList::Battery:
      return ilBattery;
    case TIconList::Sealwise:
      return ilSealwise;
    case TIconList::Icons:
      break;
  }
  return ilIcons;
}

QPixmap IconBitmap(TIconList AList, int AIndex, const QSize& ASize) {
  return dmIcons ? dmIcons->List(AList).Bitmap(AIndex, ASize) : QPixmap();
}
