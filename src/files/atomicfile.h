#pragma once
// Saving never destroys what was there: the new contents go to a temporary file in the target
// folder, are flushed to the disk, and only then take the target's name in one rename. Until
// that rename an existing file of the name stays as it was, byte for byte.

#include <cstddef>
#include <functional>
#include <string>

namespace zarvik {

// Throws FileError: CannotCreate ("Cannot create file %s") when the file cannot be created
// there (no such folder, no permission, a read-only file or a folder of that name),
// WriteFailed ("Unable to write to %s") when writing or flushing fails. No temporary file is
// left behind after a failure, and a successful save also takes away the temporaries of
// earlier saves of the same file that were killed before their rename. `beforeRename` is
// given the temporary file once its contents are written (a file time set there comes with the
// name).
void replaceFileContents(
    const std::string& fileName, const void* data, std::size_t size,
    const std::function<void(const std::string& temporary)>& beforeRename = {});

// A file that replaces nothing the program still needs (a name of its own choosing), wanted
// under its name as soon as possible: its contents are written under a temporary name, which
// it then takes at once, so that a process killed at any moment leaves the whole file or
// none; the flush to the disk, file and folder, follows the rename. Errors as above.
// `published` runs once the file has its name, before the flush.
void publishFileContents(const std::string& fileName, const void* data, std::size_t size,
                         const std::function<void(const std::string& temporary)>& beforeRename,
                         const std::function<void()>& published);

// The same for a library that writes a file by its name: `write` gets the name of a fresh
// empty temporary beside the target (UTF-8), writes it whole and returns false when it could
// not. An exception from `write` takes the temporary away and passes on.
void replaceFileByName(const std::string& fileName,
                       const std::function<bool(const std::string& tempName)>& write);

} // namespace zarvik
