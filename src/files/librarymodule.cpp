#include "files/librarymodule.h"

#include "files/fileerror.h"

#include <dlfcn.h>

namespace zarvik {

namespace {

const LibraryWriters& loadWriters(const char* module) {
    // Never closed: a writer may be handed out again at any later save, and loading a module
    // already loaded only finds it.
    void* handle = dlopen(module, RTLD_NOW | RTLD_LOCAL);
    if (handle) {
        if (const auto entry =
                reinterpret_cast<LibraryWritersEntry>(dlsym(handle, kLibraryWritersEntry)))
            return *entry();
    }
    const char* why = dlerror();
    throw FileError(FileError::Kind::CannotCreate,
                    UiText{ZARVIK_TR_NOOP("FileError", "Файлы HDF5 и MATLAB не могут быть "
                                                       "записаны: не загружается модуль %1 (%2)."),
                           {module, why ? why : ""}});
}

} // namespace

AnalysisWriter windowAnalysisWriter(SaveFormat format, const char* module) {
    switch (format) {
    case SaveFormat::Hdf5:
        return loadWriters(module).hdf5;
    case SaveFormat::Mat:
        return loadWriters(module).mat;
    default:
        return coreAnalysisWriter(format);
    }
}

} // namespace zarvik
