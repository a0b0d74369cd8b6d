// The leak checker of the sanitizer build reads these suppressions. Fontconfig keeps
// its configuration for the life of the process and never frees it; any test that
// draws text (the curve paper's axis labels, widget captions) would otherwise be
// reported for memory that is not ours.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
