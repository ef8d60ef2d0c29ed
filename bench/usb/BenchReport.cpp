#include "BenchReport.h"

#include <QApplication>
#include <cstdio>

namespace {

bool Report(const char* what, double ratio, const char* relation, double bound, bool met) {
  std::printf("%s: %.3f (bound: %s %.3f) %s\n", what, ratio, relation, bound,
              met ? "met" : "NOT MET");
  std::fflush(stdout);
  return met;
}

}  // namespace

bool ReportAtMost(const char* what, double ratio, double bound) {
  return Report(what, ratio, "at most", bound, ratio <= bound);
}

bool ReportAtLeast(const char* what, double ratio, double bound) {
  return Report(what, ratio, "at least", bound, ratio >= bound);
}

int RunWithApplication(int argc, char** argv, const std::function<bool()>& body) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return body() ? 0 : 1;
}
