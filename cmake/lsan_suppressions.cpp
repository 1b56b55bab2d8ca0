// Allocations that system libraries (the display connection, font caches)
// keep for the life of the process; sanitizer builds link this into every
// program so a leak report names only our own code.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n"
         "leak:libfontconfig.so\n"
         "leak:libX11.so\n"
         "leak:libSDL2\n";
}
