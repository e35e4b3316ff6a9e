#pragma once
// The HDF5 and MATLAB writers as the window takes them: from a module of their own, loaded the
// first time the operator writes such a file. The two libraries bring some thirty more with them
// (HDF5's network and TLS stack); linked into the program they cost every start-up about 10 ms
// and 8 MB for a format most sessions never write. d8c links the writers directly.

#include "files/analysisexport.h"

namespace zarvik {

struct LibraryWriters {
    AnalysisWriter hdf5 = nullptr;
    AnalysisWriter mat = nullptr;
};

// The module's file name, found through the program's run path (beside it in the build tree,
// in lib/zarvik/ of an installation), and the one name it exports.
inline constexpr const char* kLibraryModule = "zarvik-hdf5mat.so";
inline constexpr const char* kLibraryWritersEntry = "zarvik_library_writers";
using LibraryWritersEntry = const LibraryWriters* (*)();

// The writer of every analysis format; none for the others. HDF5 and MATLAB load `module` the
// first time (later calls reuse it); a module that cannot be loaded is an error the operator
// reads, and nothing is written.
AnalysisWriter windowAnalysisWriter(SaveFormat format, const char* module = kLibraryModule);

} // namespace zarvik
