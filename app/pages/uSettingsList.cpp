#include "uSettingsList.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QVBoxLayout>

#include "uStyles.h"

namespace {
const QColor SelectedColor = QColor(0x00, 0x8B, 0xCE);
const QColor EntryLine = QColor(0x2A, 0x2A, 0x2A);
const QColor EditColor = QColor(0x2E, 0x2E, 0x2E);
}  // namespace

TSettingsEntry::TSettingsEntry(const QString& AName, TKind AKind, const QString& ACaption, int ATag,
                               QWidget* parent)
    : QFrame(parent), FKind(AKind), FTag(ATag) {
  setObjectName(AName);
  setProperty("Tag", ATag);
  setFixedHeight(TSettingsList::EntryHeight);
  TStyles::FillBackground(this, TStyles::PanelBody);
  FRow = new QHBoxLayout(this);
  FRow->setContentsMargins(10, 0, 8, 0);
  FRow->setSpacing(6);
  if (AKind == ekSpacer) return;
  // Named, so the translation engine keeps its source text: "lbiMainDevice" -> "lblMainDevice".
  FCaption = TStyles::MakeLabel(QStringLiteral("lbl") + AName.mid(3), ACaption, this);
  FCaption->setWordWrap(false);
  FCaption->setFont(TStyles::Font(13, AKind == ekHeading));
  if (AKind == ekHeading) TStyles::SetTextColor(FCaption, TStyles::LightSlateGrey);
  FRow->addWidget(FCaption, 1);
  if (AKind == ekItem && ATag != 0) setCursor(Qt::PointingHandCursor);
}

// A thin line under each entry separates it from the next.
void TSettingsEntry::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(EntryLine);
  painter.drawLine(0, height() - 1, width(), height() - 1);
}

void TSettingsEntry::AddControl(QWidget* AControl, int AStretch) {
  FRow->addWidget(AControl, AStretch, Qt::AlignVCenter);
}

void TSettingsEntry::SetSelected(bool ASelected) {
  if (FSelected == ASelected) return;
  FSelected = ASelected;
  TStyles::FillBackground(this, ASelected ? SelectedColor : TStyles::PanelBody);
}

void TSettingsEntry::mousePressEvent(QMouseEvent* event) { event->accept(); }

void TSettingsEntry::mouseReleaseEvent(QMouseEvent* event) {
  if (FKind == ekItem && rect().contains(event->position().toPoint())) emit Clicked(this);
}

TSettingsList::TSettingsList(const QString& AName, QWidget* parent) : QWidget(parent) {
  setObjectName(AName);
  TStyles::FillBackground(this, TStyles::PanelBody);
  FColumn = new QVBoxLayout(this);
  FColumn->setContentsMargins(0, 0, 0, 0);
  FColumn->setSpacing(0);
  FColumn->addStretch(1);
}

TSettingsEntry* TSettingsList::Add(const QString& AName, TSettingsEntry::TKind AKind,
                                   const QString& ACaption, int ATag) {
  auto* entry = new TSettingsEntry(AName, AKind, ACaption, ATag, this);
  FColumn->insertWidget(FColumn->count() - 1, entry);  // above the closing stretch
  FEntries << entry;
  connect(entry, &TSettingsEntry::Clicked, this, [this](TSettingsEntry* AEntry) {
    for (TSettingsEntry* other : FEntries) other->SetSelected(other == AEntry);
    emit EntryClicked(AEntry->Tag());
  });
  return entry;
}

TSettingsEntry* TSettingsList::AddItem(const QString& AName, const QString& ACaption, int ATag) {
  return Add(AName, TSettingsEntry::ekItem, ACaption, ATag);
}

TSettingsEntry* TSettingsList::AddHeading(const QString& AName, const QString& ACaption) {
  return Add(AName, TSettingsEntry::ekHeading, ACaption, 0);
}

TSettingsEntry* TSettingsList::AddSpacer(const QString& AName) {
  return Add(AName, TSettingsEntry::ekSpacer, QString(), 0);
}

TSettingsEntry* TSettingsList::Selected() const {
  for (TSettingsEntry* entry : FEntries) {
    if (entry->IsSelected()) return entry;
  }
  return nullptr;
}

void TSettingsList::ClearSelection() {
  for (TSettingsEntry* entry : FEntries) entry->SetSelected(false);
}

TExitEdit::TExitEdit(const QString& AName, int ATag, QWidget* parent) : QLineEdit(parent) {
  setObjectName(AName);
  setProperty("Tag", ATag);
  // A shade lighter than its entry, so the box stands out.
  QPalette look = palette();
  look.setColor(QPalette::Base, EditColor);
  setPalette(look);
  connect(this, &QLineEdit::returnPressed, this, [this] { clearFocus(); });
}

int TExitEdit::Tag() const { return property("Tag").toInt(); }

void TExitEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) emit Exited(this);
}
