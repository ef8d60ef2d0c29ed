#pragma once
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>

#include "dIcons.h"

// A picture control: one entry of an image list (looked up when painted, so the image module
// may be created after the window), a drawing, or a bitmap. Index -1 shows nothing.
class TGlyph : public QWidget {
  Q_OBJECT
 public:
  TGlyph(const QString& AName, QWidget* parent);

  void SetImage(TIconList AList, int AIndex);
  void SetImageIndex(int AIndex);
  int ImageIndex() const { return FIndex; }
  // A drawing, rendered at the control's size.
  void SetSvg(const QString& AResource);
  // A bitmap, scaled into the control with its aspect kept.
  void SetPicture(const QPixmap& APicture);
  QPixmap Picture() const { return FPicture; }
  // What the control shows now (for tests and screenshots).
  QPixmap Shown() const;

 signals:
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class TSource { List, Svg, Picture };
  TSource FSource = TSource::List;
  TIconList FList = TIconList::Icons;
  int FIndex = -1;
  QString FSvg;
  mutable QImage FSvgCache;  // the drawing at the size last painted
  QPixmap FPicture;
};

// A tool button whose icon is an entry of an image list, taken when the button is shown (the
// image module may be created after the window).
class TGlyphButton : public QToolButton {
  Q_OBJECT
 public:
  TGlyphButton(const QString& AName, TIconList AList, int AIndex, QWidget* parent);
  void SetImageIndex(int AIndex);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RefreshIcon();

  TIconList FList;
  int FIndex;
};

// A frame with a one-unit border line of its own colour (the palette stays free for the
// controls inside).
class TBorderFrame : public QFrame {
  Q_OBJECT
 public:
  TBorderFrame(const QString& AName, QWidget* parent);
  void SetBorderColor(const QColor& AColor);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor FBorder;
};

// A label that reports taps.
class TClickLabel : public QLabel {
  Q_OBJECT
 public:
  TClickLabel(const QString& AName, const QString& AText, QWidget* parent);

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};
