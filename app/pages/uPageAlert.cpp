#include "uPageAlert.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "KX52xx.AlertList.h"
#include "Vek.Controls.h"
#include "Vek.Lang.h"
#include "Vek.Panel.h"
#include "uMonitoring.h"
#include "uStyles.h"

// The frame around the page's panels, drawn with a thick stroke so its flashing catches the eye.
class TAlertFrame : public QFrame {
 public:
  static constexpr int StrokeWidth = 4;

  explicit TAlertFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("rectAlert"));
    setContentsMargins(StrokeWidth, StrokeWidth, StrokeWidth, StrokeWidth);
  }
  void SetStroke(QRgb AColor) {
    FStroke = TStyles::FromArgb(AColor);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(FStroke, StrokeWidth));
    const qreal inset = StrokeWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 6, 6);
  }

 private:
  QColor FStroke;
};

namespace {
const QString AlertsInfo = QStringLiteral("Alerts List");

// One row of the alert list: the alert's symbol, its name over its countdown, and the button
// that cancels it.
class TAlertRow : public QWidget {
 public:
  explicit TAlertRow(QWidget* parent) : QWidget(parent) {
    Image = new TGlyph(QString(), this);
    Image->setGeometry(6, 10, 36, 36);
    Text = new QLabel(this);
    Text->setFont(TStyles::Font(13, true));
    Detail = new QLabel(this);
    Detail->setFont(TStyles::Font(10));
    for (QLabel* label : {Text, Detail}) TStyles::SetTextColor(label, Qt::white);
    Accessory = new TGlyphButton(QString(), TIconList::License, TIcon::LicenseCancel, this);
    Accessory->setAutoRaise(true);
    Accessory->setIconSize(QSize(22, 22));
    Accessory->setCursor(Qt::PointingHandCursor);
  }

  TGlyph* Image;
  QLabel* Text;
  QLabel* Detail;
  QToolButton* Accessory;

 protected:
  void resizeEvent(QResizeEvent*) override {
    constexpr int button = 32;
    const int textWidth = width() - TAlertPage::DetailIndent - button - 4;
    Text->setGeometry(TAlertPage::DetailIndent, 2, textWidth, 17);
    Detail->setGeometry(TAlertPage::DetailIndent, 19, textWidth, TAlertPage::RowHeight - 21);
    Detail->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Accessory->setGeometry(width() - button - 2, (height() - button) / 2, button, button);
  }
};

TAlertRow* RowWidget(const QListWidget* AList, QListWidgetItem* AItem) {
  return AItem ? dynamic_cast<TAlertRow*>(AList->itemWidget(AItem)) : nullptr;
}
}  // namespace

TAlertPage::TAlertPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabAlert"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  FFrame = new TAlertFrame(this);
  outer->addWidget(FFrame);
  auto* column = new QVBoxLayout(FFrame);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(6);
  column->addWidget(MakeListPanel(), 1);
  auto* commands = new TPanel(
      StemPanel(QStringLiteral("AlertCmd"), QStringLiteral("Alerts Commands"), AlertsInfo),
      FFrame);
  commands->setFixedHeight(TPanel::HeaderHeight + 40);
  column->addWidget(commands);
  SetStroke(StrokeBlack);

  FtmrRedAlert = new QTimer(this);
  FtmrRedAlert->setObjectName(QStringLiteral("tmrRedAlert"));
  FtmrRedAlert->setInterval(RedAlertIntervalMs);
  connect(FtmrRedAlert, &QTimer::timeout, this,
          [this] { SetStroke(FStroke == StrokeRed ? StrokeBlack : StrokeRed); });
}

QWidget* TAlertPage::MakeListPanel() {
  auto* panel = new TPanel(
      StemPanel(QStringLiteral("AlertList"), QStringLiteral("Alerts List"), AlertsInfo),
      FFrame);
  FList = new QListWidget(panel->MainPage());
  FList->setObjectName(QStringLiteral("lvAlerts"));
  FList->setSelectionMode(QAbstractItemView::NoSelection);
  FList->setFocusPolicy(Qt::NoFocus);
  FList->setFrameShape(QFrame::NoFrame);
  FList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  QPalette palette = FList->palette();
  palette.setColor(QPalette::Base, TStyles::PanelBody);
  FList->setPalette(palette);
  auto* column = new QVBoxLayout(panel->MainPage());
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(FList);
  return panel;
}

void TAlertPage::SetStroke(QRgb AColor) {
  FStroke = AColor;
  FFrame->SetStroke(AColor);
}

void TAlertPage::SetRedAlert(bool AActive) {
  if (AActive)
    FtmrRedAlert->start();
  else
    FtmrRedAlert->stop();
}

void TAlertPage::SetAlertList(TAlertList* AAlertList) {
  FList->clear();
  if (FAlertList) {
    FAlertList->OnAlertChanged = nullptr;
    FAlertList->OnAlertExecuted = nullptr;
  }
  FAlertList = AAlertList;
  if (FAlertList == nullptr) return;
  FAlertList->OnAlertChanged = [this](TAlertItem* AItem) { AlertChanged(AItem); };
  FAlertList->OnAlertExecuted = [this](TAlertItem* AItem) { RemoveAlert(AItem, true); };
}

QListWidgetItem* TAlertPage::RowOf(quint8 AAlert) const {
  for (int i = 0; i < FList->count(); ++i) {
    if (FList->item(i)->data(TagRole).toInt() == AAlert) return FList->item(i);
  }
  return nullptr;
}

void TAlertPage::AlertChanged(TAlertItem* AItem) {
  if (AItem == nullptr) {
    for (int i = 0; i < FList->count(); ++i) {
      QListWidgetItem* row = FList->item(i);
      const TAlertItem* item =
          FAlertList ? FAlertList->Get(static_cast<TAlertType>(row->data(TagRole).toInt()))
                     : nullptr;
      if (item != nullptr) RowWidget(FList, row)->Detail->setText(AlertDetailText(*item));
    }
    return;
  }
  if (TAlertRow* row = RowWidget(FList, RowOf(AItem->AlertType())))
    row->Detail->setText(AlertDetailText(*AItem));
  else
    AddRow(*AItem);
}

void TAlertPage::AddRow(const TAlertItem& AItem) {
  const quint8 code = AItem.AlertType();
  auto* item = new QListWidgetItem(FList);
  item->setData(TagRole, code);
  item->setFlags(Qt::ItemIsEnabled);
  item->setSizeHint(QSize(0, RowHeight));
  auto* row = new TAlertRow(FList);
  row->Image->SetImage(TIconList::Sealwise, AlertImageIndex(code));
  row->Text->setText(TranslateText(AlertTypeText(code)));
  row->Detail->setText(AlertDetailText(AItem));
  connect(row->Accessory, &QToolButton::clicked, this, [this, code] { AccessoryTapped(code); });
  FList->setItemWidget(item, row);
}

void TAlertPage::AccessoryTapped(quint8 AAlert) {
  if (FAlertList) RemoveAlert(FAlertList->Get(static_cast<TAlertType>(AAlert)), true);
}

void TAlertPage::RemoveAlert(TAlertItem* AItem, bool ARemoveRow) {
  if (AItem == nullptr || FAlertList == nullptr) return;
  const quint8 code = AItem->AlertType();
  FAlertList->Delete(AItem);
  if (!ARemoveRow) return;
  delete RowOf(code);
  if (FList->count() == 0) emit Emptied();
}

QString TAlertPage::RowText(quint8 AAlert) const {
  const TAlertRow* row = RowWidget(FList, RowOf(AAlert));
  return row ? row->Text->text() : QString();
}

QString TAlertPage::RowDetail(quint8 AAlert) const {
  const TAlertRow* row = RowWidget(FList, RowOf(AAlert));
  return row ? row->Detail->text() : QString();
}

int TAlertPage::RowImage(quint8 AAlert) const {
  const TAlertRow* row = RowWidget(FList, RowOf(AAlert));
  return row ? row->Image->ImageIndex() : -1;
}

QToolButton* TAlertPage::RowAccessory(quint8 AAlert) const {
  TAlertRow* row = RowWidget(FList, RowOf(AAlert));
  return row ? row->Accessory : nullptr;
}
