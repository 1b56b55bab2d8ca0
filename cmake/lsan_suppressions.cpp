// Allocations that system libraries (the display connection, font caches)
// keep for the life of the process; sanitizer builds link this into every
// program so a leak report names only our own code.
#include <dlfcn.h>

#include <cstdlib>
#include <initializer_list>

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n"
         "leak:libfontconfig.so\n"
         "leak:libX11.so\n"
         "leak:libXcursor.so\n"
         "leak:libXi.so\n"
         "leak:libXrandr.so\n"
         "leak:libxkbcommon.so\n"
         "leak:libSDL2\n"
         "leak:libGLX_mesa.so\n"
         "leak:swrast_dri.so\n";
}

namespace {

// SDL opens the X libraries and the GL driver itself and closes them when
// the video system quits; what they keep would then be reported from an
// unknown module, out of reach of the names above. Holding them open keeps
// their names. Only programs that may open a display pay for the loading.
struct TKeepDisplayLibraries {
  TKeepDisplayLibraries() {
    if (!getenv("DISPLAY")) return;
    for (const char* name : {"libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXi.so.6", "libXrandr.so.2",
                             "libXfixes.so.3", "libXss.so.1", "libxkbcommon.so.0", "libGLX_mesa.so.0",
                             "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
                             "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so"})
      dlopen(name, RTLD_NOW | RTLD_NODELETE);
  }
} keep_display_libraries;

}  // namespace
