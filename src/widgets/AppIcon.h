#pragma once

#include <SupportDefs.h>

class BBitmap;

// The application's large icon, drawn in code: a white speech bubble with three dark dots
// on a rounded deep-blue square, transparent around the square. icon must be a 32 × 32
// B_CMAP8 bitmap (frame 0, 0 to 31, 31); anything else gives B_BAD_VALUE, untouched.
status_t GetAppIcon(BBitmap* icon);
