// sealwise-svg2png OUTDIR FILE.svg...: renders each drawing into OUTDIR/FILE.png at twice its
// size, so the tutorial pictures are built from their drawings rather than kept as bitmaps.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {
constexpr int Scale = 2;

bool Render(const QString& ASvg, const QDir& AOut) {
  QSvgRenderer renderer(ASvg);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "sealwise-svg2png: cannot read %s\n", qPrintable(ASvg));
    return false;
  }
  QImage image(renderer.defaultSize() * Scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter);
  }
  const QString target = AOut.filePath(QFileInfo(ASvg).completeBaseName() + QStringLiteral(".png"));
  if (!image.convertToFormat(QImage::Format_RGB32).save(target)) {
    std::fprintf(stderr, "sealwise-svg2png: cannot write %s\n", qPrintable(target));
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // text in the drawings needs the font system
  const QStringList arguments = app.arguments();
  if (arguments.size() < 3) {
    std::fprintf(stderr, "usage: sealwise-svg2png OUTDIR FILE.svg...\n");
    return 2;
  }
  const QDir out(arguments.at(1));
  bool ok = true;
  for (int i = 2; i < arguments.size(); ++i) ok = Render(arguments.at(i), out) && ok;
  return ok ? 0 : 1;
}
