// Whole numbers typed or stored: declared with the public API (morvik/whole_number.h).
#pragma once

#include "morvik/whole_number.h"
