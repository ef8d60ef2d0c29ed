#include "uPageConnecting.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "KX52xx.Data.h"
#include "SealwiseError.h"
#include "TGlobals.Shell.h"
#include "Vek.Controls.h"
#include "Vek.Lang.h"
#include "uPortAccess.h"
#include "uStyles.h"

QString WaitingForDeviceText() {
  return TGlobals::FillPlaceholders(TranslateText(QStringLiteral("Waiting for Sealwise device%s")),
                                    {QStringLiteral("\n")});
}

namespace {

constexpr int HeaderRowHeight = 32;
constexpr int ItemRowHeight = 42;
constexpr int ImageSize = 22;
constexpr int ImageLeft = 8;

bool IsHeader(const QModelIndex& AIndex) {
  return AIndex.data(TConnectingPage::PurposeRole).toInt() == TConnectingPage::ipHeader;
}

// Rows of the device list: headers 32 high in slate grey, devices 42 high in white, each with
// its link's picture 8 units from the left and no text shadow.
class TConnectingDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(),
                 IsHeader(index) ? HeaderRowHeight : ItemRowHeight);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    if (option.state & QStyle::State_Selected)
      painter->fillRect(option.rect, option.palette.highlight());
    const int kind = index.data(TConnectingPage::TagRole).toInt();
    const QRect image(option.rect.left() + ImageLeft, option.rect.center().y() - ImageSize / 2 + 1,
                      ImageSize, ImageSize);
    painter->drawPixmap(image, IconBitmap(TIconList::Connectors, kind, image.size()));
    const QRect text = option.rect.adjusted(ImageLeft + ImageSize + 10, 0, -4, 0);
    painter->setPen(IsHeader(index) ? TStyles::LightSlateGrey : QColor(Qt::white));
    QFont font = option.font;
    font.setBold(IsHeader(index));
    painter->setFont(font);
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                      option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                    Qt::ElideRight, text.width()));
    painter->restore();
  }
};

QString HeaderText(int AKind) {
  switch (AKind) {
    case TConnectingPage::lkBluetooth:
      return TranslateText(QStringLiteral("Bluetooth Devices:"));
    case TConnectingPage::lkUSB:
      return TranslateText(QStringLiteral("USB Devices:"));
    default:
      return TranslateText(QStringLiteral("Unknown"));
  }
}

int KindOf(const QString& AConnector) {
  if (AConnector == CONN_BLE) return TConnectingPage::lkBluetooth;
  if (AConnector == CONN_FTDI) return TConnectingPage::lkUSB;
  return 0;
}

QLabel* MakeWaitingLabel(QWidget* APage) {
  QLabel* label = TStyles::MakeLabel(QStringLiteral("lblConnectingWaiting"), QString(), APage);
  label->setAlignment(Qt::AlignCenter);
  label->setFont(TStyles::Font(16, true));
  label->setFixedHeight(48);
  TStyles::SetTextColor(label, TStyles::LightGrey);
  return label;
}

}  // namespace

TConnectingPage::TConnectingPage(TKX52xxDeviceData& ADevData, QWidget* parent)
    : QWidget(parent),
      FDevData(ADevData),
      FWaitingLabel(MakeWaitingLabel(this)),
      FWaiting(FWaitingLabel) {
  setObjectName(QStringLiteral("tabConnecting"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 4, 8, 8);
  column->setSpacing(6);
  column->addWidget(FWaitingLabel);
  auto* logo = new TGlyph(QStringLiteral("imgConnecting"), this);
  logo->SetSvg(TImages::Logo);
  logo->setFixedHeight(64);
  column->addWidget(logo);
  column->addWidget(MakeDeviceBox(), 1);
  column->addWidget(MakeWarningBox());
  ApplyLanguage();
}

QWidget* TConnectingPage::MakeDeviceBox() {
  auto* box = new TBorderFrame(QStringLiteral("rectConnecting"), this);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(4);
  QLabel* caption = TStyles::MakeLabel(QStringLiteral("lblConnecting"),
                                       QStringLiteral("Discovered Sealwise Devices:"), box);
  caption->setFont(TStyles::Font(13, true));
  TStyles::SetTextColor(caption, Qt::white);
  column->addWidget(caption);
  FList = new QListWidget(box);
  FList->setObjectName(QStringLiteral("lvConnecting"));
  FList->setItemDelegate(new TConnectingDelegate(FList));
  FList->setFrameShape(QFrame::NoFrame);
  FList->setSelectionMode(QAbstractItemView::SingleSelection);
  FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(FList, &QListWidget::itemClicked, this, &TConnectingPage::TapItem);
  column->addWidget(FList, 1);
  return box;
}

QWidget* TConnectingPage::MakeWarningBox() {
  auto* box = new TBorderFrame(QStringLiteral("rectWarning"), this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(6, 6, 6, 6);
  row->setSpacing(6);
  auto* symbol = new TGlyph(QStringLiteral("imgWarning"), box);
  symbol->SetSvg(TImages::Warning);
  symbol->setFixedSize(28, 28);
  row->addWidget(symbol, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout();
  texts->setSpacing(4);
  QLabel* warning1 = TStyles::MakeLabel(
      QStringLiteral("lblWarning1"),
      QStringLiteral("This is not a Fit Test which must be carried out by a trained professional."),
      box);
  warning1->setFont(TStyles::Font(11, true));
  TStyles::SetTextColor(warning1, QColor(0xFF, 0xC4, 0x00));
  texts->addWidget(warning1);
  FWarning2 = TStyles::MakeLabel(QStringLiteral("lblWarning2"), QString(), box);
  FWarning2->setFont(TStyles::Font(10));
  TStyles::SetTextColor(FWarning2, TStyles::LightGrey);
  texts->addWidget(FWarning2);
  row->addLayout(texts, 1);
  return box;
}

void TConnectingPage::ApplyLanguage() {
  FWarning2->setText(
      TranslateText(
          QStringLiteral("Please note that Sealwise\u00AE, and results shown from Sealwise\u00AE, "
                         "are for information only and are not to be solely relied upon. Use of "
                         "this device is no substitute for trained PPE handling, testing and "
                         "fitting.%s%sPlease consult a trained expert if you are in any doubt. "
                         "We can accept no liability as a result of your reliance on any "
                         "information or data displayed by the device or software."))
          .replace(QLatin1String("%s"), QLatin1String("\n")));  // every %s: an empty line between
}

void TConnectingPage::SetLayoutTextColor(const QColor& AColor) {
  TStyles::SetTextColor(FWaitingLabel, AColor);
}

void TConnectingPage::StartDiscovery() {
  ClearDevices();
  FContinueDiscoverDevices = true;
  FDevData.DiscoverDevices(QString());
}

void TConnectingPage::ClearDevices() { FList->clear(); }

bool TConnectingPage::LocalLinkConnected() const {
  for (const QString& key : {CONN_BLE, CONN_FTDI}) {
    const TKX52xxDataPhysPtr link = FDevData.Connectors().value(key);
    if (link && link->DeviceState() >= dsConnected) return true;
  }
  return false;
}

void TConnectingPage::DevicesDiscovered(const QString& Connector,
                                        const TDeviceDictionary& Devices) {
  if (!FContinueDiscoverDevices || Connector == CONN_CLOUD) return;
  if (LocalLinkConnected()) return;
  const int kind = KindOf(Connector);
  const QList<QListWidgetItem*> selected = FList->selectedItems();
  if (kind != 0 && !selected.isEmpty() && selected.first()->data(TagRole).toInt() == kind) {
    const QListWidgetItem& item = *selected.first();
    if (item.data(PurposeRole).toInt() == ipHeader)
      FList->clearSelection();
    else
      ConnectSelected(Connector, item);
  } else if (kind != 0) {
    UpdateDeviceGroup(kind, Devices);
  }
  if (FContinueDiscoverDevices) FDevData.DiscoverDevices(Connector);
}

void TConnectingPage::ConnectSelected(const QString& Connector, const QListWidgetItem& AItem) {
  const QString key = AItem.data(TagStringRole).toString();
  try {
    FDevData.Connect(Connector, key);
  } catch (const ESealwiseError& error) {
    // A port that cannot be opened fails the same way at every cycle: drop the selection so
    // the message is shown once, and let the user tap again.
    FList->clearSelection();
    ResumeWaiting();
    ShowConnectError(error.Message(), key);
  }
}

void TConnectingPage::ShowConnectError(const QString& AMessage, const QString& APort) {
  static const QString openPrefix = QStringLiteral("Can't open port ");
  if (!AMessage.startsWith(openPrefix)) {
    TGlobals::MsgWindow(TranslateText(AMessage));
    return;
  }
  QString message = TGlobals::FillPlaceholders(TranslateText(QStringLiteral("Can't open port %s")),
                                               {AMessage.mid(openPrefix.size())});
  if (TPortAccess::IsPermissionDenied(APort))
    message += QStringLiteral("\n\n") + TPortAccess::PermissionHint();
  TGlobals::MsgWindow(message);
}

void TConnectingPage::ResumeWaiting() {
  if (FWaiting.IsRunning()) FWaiting.Start(WaitingForDeviceText());
}

void TConnectingPage::TapItem(QListWidgetItem* AItem) {
  if (AItem == nullptr) return;
  FWaiting.Start(
      TGlobals::FillPlaceholders(TranslateText(QStringLiteral("Connecting to %s device%s")),
                                 {AItem->text(), QStringLiteral("\n")}));
}

QListWidgetItem* TConnectingPage::MakeItem(int AKind, TPurpose APurpose, const QString& AText,
                                           const QString& AKey) const {
  auto* item = new QListWidgetItem(AText);
  item->setData(PurposeRole, APurpose);
  item->setData(TagRole, AKind);
  item->setData(TagStringRole, AKey);
  return item;
}

void TConnectingPage::UpdateDeviceGroup(int AKind, const TDeviceDictionary& Devices) {
  FList->setUpdatesEnabled(false);
  int header = -1;
  for (int i = FList->count() - 1; i >= 0; --i) {
    if (FList->item(i)->data(TagRole).toInt() != AKind) continue;
    if (FList->item(i)->data(PurposeRole).toInt() == ipHeader) {
      header = i;
    } else {
      delete FList->takeItem(i);
      if (header > i) --header;
    }
  }
  if (Devices.isEmpty()) {
    if (header >= 0) delete FList->takeItem(header);
  } else {
    if (header < 0) {
      FList->addItem(MakeItem(AKind, ipHeader, HeaderText(AKind), QString()));
      header = FList->count() - 1;
    }
    int position = header + 1;
    for (auto it = Devices.cbegin(); it != Devices.cend(); ++it) {
      const QString name = it.value().isEmpty() ? QStringLiteral("N\\A") : it.value();
      FList->insertItem(position++, MakeItem(AKind, ipNone, name, it.key()));
    }
  }
  FList->setUpdatesEnabled(true);
  SelectPending();
}

QListWidgetItem* TConnectingPage::FindDevice(const QString& AKey) const {
  for (int i = 0; i < FList->count(); ++i) {
    QListWidgetItem* item = FList->item(i);
    if (item->data(PurposeRole).toInt() == ipNone && item->data(TagStringRole).toString() == AKey)
      return item;
  }
  return nullptr;
}

void TConnectingPage::SelectPending() {
  if (FPendingKey.isEmpty()) return;
  QListWidgetItem* item = FindDevice(FPendingKey);
  if (item == nullptr) return;
  FPendingKey.clear();
  FList->setCurrentItem(item);
  TapItem(item);
}
