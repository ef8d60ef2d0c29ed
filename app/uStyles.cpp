#include "uStyles.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace TStyles {

void ApplyWindowLook(QWidget* AWindow) {
  QPalette palette = AWindow->palette();
  palette.setColor(QPalette::Window, Background);
  palette.setColor(QPalette::WindowText, Qt::white);
  palette.setColor(QPalette::Base, PanelBody);
  palette.setColor(QPalette::AlternateBase, PanelBody);
  palette.setColor(QPalette::Text, Qt::white);
  palette.setColor(QPalette::PlaceholderText, LightSlateGrey);
  palette.setColor(QPalette::Button, QColor(0x4A, 0x4A, 0x4A));
  palette.setColor(QPalette::ButtonText, Qt::white);
  palette.setColor(QPalette::Highlight, QColor(0x00, 0x8B, 0xCE));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  AWindow->setPalette(palette);
  AWindow->setAutoFillBackground(true);
  AWindow->setFont(Font(12));
}

void FillBackground(QWidget* AWidget, const QColor& AColor) {
  QPalette palette = AWidget->palette();
  palette.setColor(QPalette::Window, AColor);
  AWidget->setPalette(palette);
  AWidget->setAutoFillBackground(true);
}

void SetTextColor(QWidget* AWidget, const QColor& AColor) {
  QPalette palette = AWidget->palette();
  palette.setColor(QPalette::WindowText, AColor);
  palette.setColor(QPalette::Text, AColor);
  palette.setColor(QPalette::ButtonText, AColor);
  AWidget->setPalette(palette);
}

QFont Font(int APixelSize, bool ABold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(APixelSize);
  font.setBold(ABold);
  return font;
}

QLabel* MakeLabel(const QString& AName, const QString& AText, QWidget* AParent) {
  auto* label = new QLabel(AText, AParent);
  label->setObjectName(AName);
  label->setWordWrap(true);
  return label;
}

}  // namespace TStyles
