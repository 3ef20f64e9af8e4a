// What the sanitizer runs must not lay at our door:
// - Fontconfig and Pango keep per-process and per-thread font caches that
//   they never free; only those libraries' own allocations are let through.
// - Pango matches fonts on a helper thread of its own and hands the results
//   over through GLib's synchronisation, and GLib's slice allocator moves
//   memory between threads through caches of its own; HarfBuzz loads its
//   shared font tables lazily with atomics of its own. The thread sanitizer
//   sees none of this inside these uninstrumented libraries.
#define QELO_EXPORT extern "C" __attribute__((visibility("default")))

QELO_EXPORT const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libpangocairo-1.0.so\n";
}

QELO_EXPORT const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so\n"
         "race:libpangoft2-1.0.so\n"
         "race:libpango-1.0.so\n"
         "race:libglib-2.0.so\n"
         "race:libharfbuzz.so\n";
}
