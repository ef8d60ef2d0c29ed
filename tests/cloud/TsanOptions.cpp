// Under ThreadSanitizer: Qt and GLib are not instrumented, so their internal locking (the
// network manager's own thread, posted events, the GLib event loop) is invisible to the checker
// and every access they make through an intercepted call looks unsynchronised. Those reports
// are dropped; our own code, which is instrumented, is still checked in full.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
#endif
