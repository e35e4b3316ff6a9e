// The one name the module of the HDF5 and MATLAB writers exports (files/librarymodule.h).

#include "files/libraryexport.h"
#include "files/librarymodule.h"

extern "C" __attribute__((visibility("default"))) const zarvik::LibraryWriters*
zarvik_library_writers() {
    static const zarvik::LibraryWriters writers{zarvik::writeHdf5File, zarvik::writeMatFile};
    return &writers;
}
