// Leak-checker suppressions for the Qt test program (read only by sanitizer builds).
// The system's font configuration library keeps its caches for the whole process
// once a widget has measured text; they are not ours and are freed only at exit.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
#endif
