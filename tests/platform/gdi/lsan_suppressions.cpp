// Fontconfig and Pango keep per-process and per-thread font caches that they
// never free; the leak checker of the sanitizer run would report them as
// ours. Only those libraries' own allocations are let through.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libpangocairo-1.0.so\n";
}
