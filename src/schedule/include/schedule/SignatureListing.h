#pragma once

// The folder listing belongs to the conversion library now; this name stays
// only until the schedule engine and its tests include the new one.
#include "convert/SignatureListing.h"
