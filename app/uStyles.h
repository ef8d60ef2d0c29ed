#pragma once
#include <QColor>
#include <QFont>
#include <QRgb>

class QWidget;
class QLabel;

// The dark look of the window: black pages, white text, layout colours on panel headers,
// tool bars and the page marker.
namespace TStyles {

inline const QColor Background = QColor(0, 0, 0);
inline const QColor PanelBody = QColor(0x12, 0x12, 0x12);
inline const QColor PanelBorder = QColor(0x3A, 0x3A, 0x3A);
inline const QColor LightGrey = QColor(0xD3, 0xD3, 0xD3);
inline const QColor LightSlateGrey = QColor(0x77, 0x88, 0x99);
inline const QColor Lime = QColor(0x00, 0xFF, 0x00);
inline const QColor Crimson = QColor(0xDC, 0x14, 0x3C);

// An ARGB value of the layout functions as a colour.
inline QColor FromArgb(QRgb AValue) { return QColor::fromRgba(AValue); }

// Applies the window-wide palette and font to the window.
void ApplyWindowLook(QWidget* AWindow);
// Fills a widget's background with a colour (its own palette; children keep theirs).
void FillBackground(QWidget* AWidget, const QColor& AColor);
void SetTextColor(QWidget* AWidget, const QColor& AColor);
// Sizes are the design's units (pixels at 100 %), as all sizes of the window.
QFont Font(int APixelSize, bool ABold = false);
// A named label that wraps its text.
QLabel* MakeLabel(const QString& AName, const QString& AText, QWidget* AParent);

}  // namespace TStyles
