#include "quiet_alsa.h"

#include <dlfcn.h>

namespace quillo::parole {

namespace {

// The library's error handler, as alsa/error.h declares it.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler);

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietAlsa()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // SDL opens the same library by the same name later and so shares this
    // copy, whose handler is set here; it stays loaded for that reason.
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa)
        return;
    if (auto set = reinterpret_cast<SetAlsaErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(&ignoreAlsaError);
}

}  // namespace quillo::parole
