// Character lists with ranges, as users name the characters to render or learn ("0-9A-Z"):
// ParseCharList is declared with the public character-list calls.
#pragma once

#include "morvik/chars.h"
