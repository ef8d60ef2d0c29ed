#pragma once
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

// A list of pictures addressed by index, as the pages use them (an index outside the list, or
// -1, names no picture). A drawing is rendered when its picture is first asked for, so start-up
// pays only for the pictures the first page shows; lists are used on the GUI thread only.
class TImageList {
 public:
  int Count() const { return static_cast<int>(FEntries.size()); }
  bool IsValidIndex(int AIndex) const { return AIndex >= 0 && AIndex < Count(); }
  // The picture at AIndex scaled to ASize (aspect kept); a null pixmap for an invalid index.
  QPixmap Bitmap(int AIndex, const QSize& ASize) const;
  QImage Image(int AIndex) const;

  void AddSvg(const QString& AResource);
  void Add(const QImage& AImage);
  // Replaces an entry; an invalid index is ignored.
  void SetImage(int AIndex, const QImage& AImage);
  void Clear() { FEntries.clear(); }

  // The resolution at which drawings are rendered into a list.
  static constexpr int RenderSize = 96;
  // The drawing fitted into ASize with its aspect kept, centred on a transparent image.
  static QImage RenderSvg(const QString& AResource, const QSize& ASize);

 private:
  struct TEntry {
    QString Resource;  // the drawing still to render into Picture; empty once Picture holds it
    QImage Picture;
  };
  const QImage& Picture(int AIndex) const;

  mutable std::vector<TEntry> FEntries;
};

enum class TIconList {
  Panels,
  Footer,
  License,
  Connectors,
  BatteryDefaults,
  Battery,
  Sealwise,
  Icons
};

// Entries of the lists, by the index the pages use.
namespace TIcon {
enum TPanels { PanelInfo = 0, PanelSettings = 1, PanelFilter = 2 };
enum TFooter { FooterDashboard = 0, FooterSettings = 1, FooterInfo = 2, FooterReport = 3 };
enum TLicense { LicenseAccept = 0, LicenseCancel = 1 };
enum TConnectors { ConnConnected = 0, ConnBluetooth = 1, ConnUSB = 2, ConnCloud = 3 };
enum TBattery {
  BatteryNone = 0,
  BatteryCharging = 1,
  BatteryEmpty = 2,
  BatteryOneBar = 3,
  BatteryTwoBars = 4,
  BatteryThreeBars = 5,
  BatteryFull = 6,
  BatteryCount = 7
};
enum TSealwise { SealFail = 0, SealPass = 1, SealFall = 2, SealImpact = 3, SealWarning = 4 };
enum TIcons {
  IconAccount = 0,
  IconSave = 1,
  IconEmail = 2,
  IconShare = 3,
  IconFilter = 4,
  IconSecuredLetter = 5,
  IconCloud = 6,
  IconFirewall = 7,
  IconUploadCloud = 8,
  IconLocation = 9
};
}  // namespace TIcon

// The image module: holds every image list of the application, drawn from the SVG resources.
// ilBattery starts as a copy of ilBatteryDefaults; the window refills it from the layout.
class TdmIcons : public QObject {
  Q_OBJECT
 public:
  explicit TdmIcons(QObject* parent = nullptr);

  TImageList ilPanels;
  TImageList ilFooter;
  TImageList ilLicense;
  TImageList ilConnectors;
  TImageList ilBatteryDefaults;
  TImageList ilBattery;
  TImageList ilSealwise;
  TImageList ilIcons;

  TImageList& List(TIconList AList);
};

// The one image module; created after the main window, so controls look pictures up when they
// paint.
extern std::unique_ptr<TdmIcons> dmIcons;

// A picture of one list entry, or an empty pixmap while the module or the entry is missing.
QPixmap IconBitmap(TIconList AList, int AIndex, const QSize& ASize);

// Resource paths of the drawings the pages use outside the lists.
namespace TImages {
inline const QString Logo = QStringLiteral(":/images/logo.svg");
inline const QString User = QStringLiteral(":/images/user.svg");
inline const QString Warning = QStringLiteral(":/images/warning.svg");
inline const QString Back = QStringLiteral(":/images/back.svg");
inline const QString Next = QStringLiteral(":/images/next.svg");
inline const QString Close = QStringLiteral(":/images/close.svg");
}  // namespace TImages
