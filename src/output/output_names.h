// The names of a reading's outputs for each picture read: declared with the public API.
#pragma once

#include "morvik/output_names.h"
