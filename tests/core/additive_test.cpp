#include <gtest/gtest.h>

#include "core/operations.h"
