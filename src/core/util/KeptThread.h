#pragma once
// A thread kept for the life of the program, serving one object.
#include <thread>

namespace tessarin::util {

// Makes a T and starts a thread running its serve(), which waits for work until the process ends:
// never ended, so nothing has to stop it in the right order at exit. Null when no thread (or no
// memory for one) can be had.
template <typename T>
T* startKeptThread() {
    auto* served = new T;
    try {
        std::thread([served] { served->serve(); }).detach();
    } catch (...) {
        delete served;
        return nullptr;
    }
    return served;
}

}  // namespace tessarin::util
