#include <benchmark/benchmark.h>

#include "core/operations.h"
