#pragma once

// The checks of the window's layout: where its controls are, and whether their texts fit them.

#include <windows.h>

#include <vector>

#include "driver.h"

namespace driver {

// Every label's text fits its control on one line, and the screen shows it whole there: its ink
// is that of the whole line drawn in its font. Every button's caption fits inside the button's
// margins.
void CheckTextsFit(const Program& program, UINT dpi);

struct Geometry {
  RECT client{};
  std::vector<RECT> controls;  // in the form's client area
  LRESULT line_height = 0;
};

Geometry GeometryOf(const Program& program);

// Everything half as large again at 144 dots per inch as at 96, to the pixel.
void CheckScaled(const Geometry& normal, const Geometry& scaled);

}  // namespace driver
