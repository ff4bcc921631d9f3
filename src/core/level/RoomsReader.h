#pragma once
// Reading a level's rooms, on two threads when there are enough of their bytes to pay for one.
#include <cstddef>
#include <functional>
#include <vector>

#include "level/TRLevel.h"
#include "util/ByteReader.h"

namespace tessarin::level::detail {

// Reads room `index` from the reader's position, leaving the reader at the room's end.
using RoomReader = std::function<void(util::ByteReader& r, TRRoom& room, std::size_t index)>;

// `count` rooms into `rooms`, from the reader's position on, leaving it after the last. `measure`
// finds where a room ends from a measuring reader (util::ByteReader::setMeasuring) without building
// it; a room that does not measure, read or end where it measured is read again in order, so the
// rooms, the errors and the place left are what reading them one after another gives.
void readRooms(util::ByteReader& r, std::vector<TRRoom>& rooms, std::size_t count, const RoomReader& read,
               const RoomReader& measure);

// Whether level files may be read on a second thread (rooms, chunks): on by default; tests
// compare both, the fuzz targets stay on one.
void setParallelReading(bool on);
bool parallelReading();

// Rooms go to two threads when at least `fromBytes` are left to read, and their pages go back in
// steps of `giveBackStep` meanwhile (tests try both at small sizes); reset restores the defaults.
void setParallelRoomLimits(std::size_t fromBytes, std::size_t giveBackStep);
void resetParallelRoomLimits();

}  // namespace tessarin::level::detail
