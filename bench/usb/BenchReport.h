#pragma once
#include <functional>

// Prints a measured ratio next to its bound, "<what>: <ratio> (bound: at most|at least <bound>)
// met|NOT MET", and returns whether the bound holds.
bool ReportAtMost(const char* what, double ratio, double bound);
bool ReportAtLeast(const char* what, double ratio, double bound);

// Runs the body inside an offscreen application (the real link needs the event loop); the exit
// code is 0 when the body returns true.
int RunWithApplication(int argc, char** argv, const std::function<bool()>& body);
