#pragma once
// The summary table of `make bench` (tessarin_bench --table).
namespace tessarin::bench {
int runTable(const char* argv0);
}
