#include "Vek.Controls.h"

#include <QMouseEvent>
#include <QPainter>

#include "uStyles.h"

TGlyph::TGlyph(const QString& AName, QWidget* parent) : QWidget(parent) { setObjectName(AName); }

void TGlyph::SetImage(TIconList AList, int AIndex) {
  FSource = TSource::List;
  FList = AList;
  FIndex = AIndex;
  update();
}

void TGlyph::SetImageIndex(int AIndex) {
  FIndex = AIndex;
  update();
}

void TGlyph::SetSvg(const QString& AResource) {
  FSource = TSource::Svg;
  FSvg = AResource;
  FSvgCache = QImage();
  update();
}

void TGlyph::SetPicture(const QPixmap& APicture) {
  FSource = TSource::Picture;
  FPicture = APicture;
  update();
}

QPixmap TGlyph::Shown() const {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  QPixmap shown;
  switch (FSource) {
    case TSource::List:
      shown = IconBitmap(FList, FIndex, pixels);
      break;
    case TSource::Svg:
      if (FSvgCache.size() != pixels) FSvgCache = TImageList::RenderSvg(FSvg, pixels);
      shown = QPixmap::fromImage(FSvgCache);
      break;
    case TSource::Picture:
      if (!FPicture.isNull())
        shown = FPicture.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      break;
  }
  shown.setDevicePixelRatio(ratio);
  return shown;
}

void TGlyph::paintEvent(QPaintEvent*) {
  const QPixmap shown = Shown();
  if (shown.isNull()) return;
  QPainter painter(this);
  const QSizeF logical = shown.deviceIndependentSize();
  const QPointF origin((width() - logical.width()) / 2, (height() - logical.height()) / 2);
  painter.drawPixmap(origin, shown);
}

void TGlyph::mouseReleaseEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) emit Clicked();
  QWidget::mouseReleaseEvent(event);
}

TGlyphButton::TGlyphButton(const QString& AName, TIconList AList, int AIndex, QWidget* parent)
    : QToolButton(parent), FList(AList), FIndex(AIndex) {
  setObjectName(AName);
  setAutoRaise(true);
  setCursor(Qt::PointingHandCursor);
}

void TGlyphButton::SetImageIndex(int AIndex) {
  FIndex = AIndex;
  RefreshIcon();
}

void TGlyphButton::showEvent(QShowEvent* event) {
  RefreshIcon();
  QToolButton::showEvent(event);
}

void TGlyphButton::RefreshIcon() {
  const QPixmap bitmap = IconBitmap(FList, FIndex, iconSize() * devicePixelRatioF());
  setIcon(bitmap.isNull() ? QIcon() : QIcon(bitmap));
}

TBorderFrame::TBorderFrame(const QString& AName, QWidget* parent)
    : QFrame(parent), FBorder(TStyles::PanelBorder) {
  setObjectName(AName);
  setContentsMargins(1, 1, 1, 1);
}

void TBorderFrame::SetBorderColor(const QColor& AColor) {
  FBorder = AColor;
  update();
}

void TBorderFrame::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(FBorder);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TClickLabel::TClickLabel(const QString& AName, const QString& AText, QWidget* parent)
    : QLabel(AText, parent) {
  setObjectName(AName);
  setCursor(Qt::PointingHandCursor);
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) emit Clicked();
  QLabel::mouseReleaseEvent(event);
}
