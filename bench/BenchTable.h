#pragma once
// The summary table of `make bench` (tessarin_bench --table).
namespace tessarin::bench {
// Only the levels whose name holds `only` are measured when it is given.
int runTable(const char* argv0, const char* only = nullptr);
}
