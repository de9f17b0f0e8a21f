#pragma once

// The resources of brindaq.exe, shared by brindaq.rc and the code that loads them.

#define BRINDAQ_ICON 1
