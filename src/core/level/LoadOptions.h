#pragma once
// LoadOptions: what a caller of the level readers needs of a file, when that is less than all of it.
#include <cstddef>
#include <functional>

namespace tessarin::level {

struct TRRoom;

struct LoadOptions {
    // TR4 files: only the 16-bit pages are inflated. The 32-bit and misc page chunks are checked as
    // far as that costs nothing (their sizes, that their bytes lie in the file, the zlib header)
    // and left packed; Textile32 and MiscTextile stay empty. A conversion into TR2/TR3 needs no more.
    bool only16BitPages = false;
    // Room for this many pages behind the level's own 16-bit pages, so that pages appended later
    // (a conversion's sprite pages) do not move the array.
    std::size_t spare16BitPages = 0;
    // TR4 files: called with each room once it is read, on whichever thread read it, so it may
    // touch that room alone. A conversion rewrites the rooms here while the level data still inflates.
    std::function<void(TRRoom&)> eachRoom;
    // TR4 files: work of the caller's own, run beside the inflating on whichever thread is free
    // (after it, when reading on one thread); it must not touch the level. A conversion makes its
    // sprite pages here. Not run when the file fails before its chunks are inflated.
    std::function<void()> alongside;
};

}  // namespace tessarin::level
